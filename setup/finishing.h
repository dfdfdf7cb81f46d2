// What the setup run does last: a page of the maker's web site and the product.
#pragma once

#include "../classlib/cstring.h"

// Makes the destination the current folder; after a fresh installation or an
// upgrade in a run that is not silent, opens the installation or installed page;
// starts the installed product when g_bRunAfter. Reports nothing.
void RunFinishingActions();

// The query ("?" included) of the first line of the .url file at path that begins
// with "URL=http://"; "" when there is no file, no such line or no "?" in it.
CString ReadInstallQuery(const char* path);

// The page to open after this run, or "" for none: the installation page with
// the HomePage.url query after a fresh installation, else the installed page.
CString ChooseFinishingPage();

// Asks the shell to open address in the user's browser; the result is not checked.
void OpenWebPage(const char* address);
