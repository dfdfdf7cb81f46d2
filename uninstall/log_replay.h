// Undoing what an install log records.
#pragma once

// Deletes every "Shell Link: " file of the log, then removes every "Made Dir: "
// folder and each parent that becomes empty.
void RemoveLinksAndMadeDirs(const char* logPath);

// Deletes inside folder what the log's file records of the given kind (all five
// file kinds when kind is null) name, then removes each "Make Dir: " folder that
// is empty.
void RemoveFilesAndMakeDirs(const char* logPath, const char* folder, const char* kind = nullptr);

// Deletes every file in folder that matches pattern (wildcards allowed, a
// relative subfolder allowed), clearing read-only and hidden first.
void DeleteMatchingFiles(const char* folder, const char* pattern);
