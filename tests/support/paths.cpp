#include "paths.h"

std::string BuildPath(const std::string& relative)
{
    std::string path = std::string("Z:") + GLX_BUILD_DIR + "/" + relative;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

std::string SetupExe() { return BuildPath("setup.exe"); }
std::string ProductExe() { return BuildPath("product/Glimcap6.exe"); }
std::string HelperExe(const std::string& name) { return BuildPath("tests/helpers/" + name + ".exe"); }
