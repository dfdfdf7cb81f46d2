// Where the tests find the programs of the build, as Windows paths.
#pragma once

#include <string>

// The build folder's path under Wine (the Unix root is drive Z:), joined with relative.
std::string BuildPath(const std::string& relative);
std::string SetupExe();    // the built setup.exe
std::string ProductExe();  // the stand-in Glimcap6.exe
std::string HelperExe(const std::string& name);  // a test helper program, without ".exe"
