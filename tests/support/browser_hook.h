// Wine's browser launcher pointed at a script that writes down every address it
// is asked to open, so that a test sees which page a run opened.
#pragma once

#include <string>
#include <vector>

class BrowserRecorder {
public:
    // Sets HKCU\Software\Wine\WineBrowser "Browsers" to the recording script and
    // empties the record.
    BrowserRecorder();
    ~BrowserRecorder();  // puts the earlier "Browsers" value back
    BrowserRecorder(const BrowserRecorder&) = delete;
    BrowserRecorder& operator=(const BrowserRecorder&) = delete;

    // The addresses opened since the last call. Opens a marker address itself and
    // waits until the marker is recorded: what was opened before it is in by then.
    std::vector<std::string> Opened();

private:
    std::string m_previous;
    bool m_hadPrevious = false;
    int m_markers = 0;
};
