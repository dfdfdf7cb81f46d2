#include "product_runner.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "../../instances/instance_manager.h"
#include "paths.h"
#include "scratch.h"

RunningProduct::RunningProduct(const std::string& folder, const std::string& name, bool ignoreClose,
                               const std::string& exe)
    : m_recordPath(folder + "\\" + name + ".record"),
      m_process(Quote(exe.empty() ? ProductExe() : exe) + " -record " + Quote(m_recordPath) + (ignoreClose ? " -ignoreclose" : ""))
{
    EXPECT_TRUE(m_process.Started());
    EXPECT_TRUE(WaitForRecord("ready " + std::to_string(Id()))) << "product did not come up";
}

std::string RunningProduct::Record() const
{
    std::string text = ReadTextFile(m_recordPath);
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());  // written in text mode
    return text;
}

bool RunningProduct::WaitForRecord(const std::string& line, DWORD milliseconds) const
{
    return WaitUntil([&] { return Record().find(line + "\n") != std::string::npos; }, milliseconds);
}

bool RunningProduct::CloseNormally()
{
    HWND window = FindProcessWindow(Id());
    if (!window) return false;
    PostMessageA(window, WM_CLOSE, 0, 0);
    return m_process.WaitForExit(20000);
}
