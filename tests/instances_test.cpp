// The instance list across real processes: this test process is a member from its
// start, like the setup program; stand-in products join and leave around it.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "../classlib/handles.h"
#include "../instances/close_instances.h"
#include "../instances/instance_manager.h"
#include "paths.h"
#include "processes.h"
#include "product_runner.h"
#include "scratch.h"

namespace {
std::vector<DWORD> ListedIds()
{
    CDWordArray ids;
    EXPECT_TRUE(g_instanceManager.CopyProcessIds(ids));
    std::vector<DWORD> result;
    for (int i = 0; i < ids.GetSize(); ++i) result.push_back(ids[i]);
    return result;
}

// A raw view of the shared list, as another program that follows its layout sees it.
class RawList {
public:
    RawList()
        : m_map(OpenFileMappingA(FILE_MAP_READ, FALSE, "COXInstanceManager_FileMap_Orvandelsys.Glimmerix-Pro.v4")),
          m_view(m_map.IsValid() ? MapViewOfFile(m_map.Get(), FILE_MAP_READ, 0, 0, sizeof(InstanceListArea))
                                 : nullptr)
    {
    }
    const InstanceListArea* operator->() const { return static_cast<const InstanceListArea*>(m_view.Get()); }
    bool IsValid() const { return m_view.IsValid(); }

private:
    CHandle m_map;
    CMappedView m_view;
};

TEST(InstanceList, ThisProcessJoinedAtStartUp)
{
    std::vector<DWORD> ids = ListedIds();
    ASSERT_FALSE(ids.empty());
    EXPECT_EQ(ids.front(), GetCurrentProcessId());
    EXPECT_EQ(g_instanceManager.CountProcesses(), static_cast<int>(ids.size()));

    RawList raw;
    ASSERT_TRUE(raw.IsValid());
    EXPECT_EQ(raw->initialised, 1u);
    EXPECT_EQ(raw->count, static_cast<LONG>(ids.size()));
    EXPECT_EQ(raw->ids[raw->count], 0u);
}

TEST(InstanceList, RunTimeClassData)
{
    const CRuntimeClass* runtime = g_instanceManager.GetRuntimeClass();
    EXPECT_STREQ(runtime->m_lpszClassName, "COXInstanceManager");
    EXPECT_EQ(runtime->m_wSchema, 0xFFFFu);
    EXPECT_EQ(runtime->m_pfnCreateObject, nullptr);
    EXPECT_EQ(runtime->m_pBaseClass, RUNTIME_CLASS(CObject));
    EXPECT_TRUE(g_instanceManager.IsKindOf(RUNTIME_CLASS(CObject)));
}

TEST(InstanceList, JoinAndLeaveInOrderWithMessages)
{
    ScratchFolder folder;
    const int base = g_instanceManager.CountProcesses();
    RunningProduct first(folder.Path(), "first");
    RunningProduct second(folder.Path(), "second");
    RunningProduct third(folder.Path(), "third");

    std::vector<DWORD> ids = ListedIds();
    ASSERT_EQ(static_cast<int>(ids.size()), base + 3);
    EXPECT_EQ(ids[base], first.Id());
    EXPECT_EQ(ids[base + 1], second.Id());
    EXPECT_EQ(ids[base + 2], third.Id());

    // Members already listed hear of each process that joins after them.
    EXPECT_TRUE(first.WaitForRecord("started " + std::to_string(second.Id())));
    EXPECT_TRUE(first.WaitForRecord("started " + std::to_string(third.Id())));
    EXPECT_TRUE(second.WaitForRecord("started " + std::to_string(third.Id())));
    EXPECT_EQ(second.Record().find("started " + std::to_string(first.Id())), std::string::npos);

    // The one in the middle leaves: later entries move up, the old last slot is cleared.
    ASSERT_TRUE(second.CloseNormally());
    ids = ListedIds();
    ASSERT_EQ(static_cast<int>(ids.size()), base + 2);
    EXPECT_EQ(ids[base], first.Id());
    EXPECT_EQ(ids[base + 1], third.Id());
    RawList raw;
    EXPECT_EQ(raw->ids[base + 2], 0u);
    EXPECT_TRUE(first.WaitForRecord("ended " + std::to_string(second.Id())));
    EXPECT_TRUE(third.WaitForRecord("ended " + std::to_string(second.Id())));

    ASSERT_TRUE(first.CloseNormally());
    ASSERT_TRUE(third.CloseNormally());
    EXPECT_EQ(g_instanceManager.CountProcesses(), base);
}

TEST(InstanceList, RemovingAnUnlistedIdChangesNothing)
{
    ScratchFolder folder;
    RunningProduct product(folder.Path(), "product");
    std::vector<DWORD> before = ListedIds();
    EXPECT_FALSE(g_instanceManager.RemoveProcess(0x7FFF1234));
    EXPECT_EQ(ListedIds(), before);
    // Posted messages arrive in order: the marker comes after anything the removal posted.
    PostMessageA(FindProcessWindow(product.Id()), MSG_INSTANCE_ENDED, 0, 77);
    ASSERT_TRUE(product.WaitForRecord("ended 77"));
    EXPECT_EQ(product.Record().find("ended 2147422772"), std::string::npos);
}

TEST(InstanceList, OpeningTheListDoesNotResetIt)
{
    std::vector<DWORD> before = ListedIds();
    {
        COXInstanceManager another;  // opens the existing list and joins it again
        std::vector<DWORD> during = ListedIds();
        ASSERT_EQ(during.size(), before.size() + 1);
        EXPECT_TRUE(std::equal(before.begin(), before.end(), during.begin()));
        EXPECT_EQ(during.back(), GetCurrentProcessId());
    }
    // Leaving takes out the first entry of this process's id: the two managers share it.
    EXPECT_EQ(ListedIds().size(), before.size());
}

TEST(InstanceList, FullListRefusesNewcomersWhoStillCount)
{
    // Fill the list the way any program that follows its layout and locking may.
    CHandle map(OpenFileMappingA(FILE_MAP_WRITE, FALSE, "COXInstanceManager_FileMap_Orvandelsys.Glimmerix-Pro.v4"));
    CMutex mutex(FALSE, "COXInstanceManager_InstanceList_Mutex_Orvandelsys.Glimmerix-Pro.v4");
    ASSERT_TRUE(map.IsValid());
    CMappedView view(MapViewOfFile(map.Get(), FILE_MAP_WRITE, 0, 0, sizeof(InstanceListArea)));
    ASSERT_TRUE(view.IsValid());
    auto* list = static_cast<InstanceListArea*>(view.Get());
    InstanceListArea saved;
    {
        CSingleLock lock(mutex);
        saved = *list;
        for (LONG i = list->count; i < INSTANCE_LIST_CAPACITY; ++i) list->ids[i] = 0x7FF00000 + i;  // no such processes
        list->count = INSTANCE_LIST_CAPACITY;
    }

    EXPECT_FALSE(g_instanceManager.AddProcess(0x7FEFFFFF));
    {
        COXInstanceManager late;  // starts while the list is full: runs without an entry
        EXPECT_EQ(late.CountProcesses(), INSTANCE_LIST_CAPACITY);
        CDWordArray ids;
        EXPECT_TRUE(late.CopyProcessIds(ids));
        EXPECT_EQ(ids.GetSize(), INSTANCE_LIST_CAPACITY);
        EXPECT_EQ(ids[INSTANCE_LIST_CAPACITY - 1], 0x7FF00000u + INSTANCE_LIST_CAPACITY - 1);
    }

    CSingleLock lock(mutex);
    *list = saved;
}

// Windows of this process, for the window search.
class WindowSearch : public ::testing::Test {
protected:
    HWND Make(const char* title, DWORD exStyle = 0, HWND owner = nullptr)
    {
        HWND window = CreateWindowExA(exStyle, "STATIC", title, WS_OVERLAPPED, 0, 0, 100, 50, owner, nullptr,
                                      GetModuleHandleA(nullptr), nullptr);
        EXPECT_NE(window, nullptr);
        m_windows.push_back(window);
        return window;
    }
    void TearDown() override
    {
        for (auto it = m_windows.rbegin(); it != m_windows.rend(); ++it) DestroyWindow(*it);
    }
    std::vector<HWND> m_windows;
};

TEST_F(WindowSearch, FindsATitleThatBeginsWithTheProductName)
{
    Make("My Glimmerix");
    Make("glimmerix lower case");
    Make("DDE Server Window");
    HWND main = Make("Glimmerix 6 - capture.gx6");
    EXPECT_EQ(FindProcessWindow(GetCurrentProcessId()), main);
}

TEST_F(WindowSearch, PassesOverOwnedAndToolWindows)
{
    HWND plain = Make("Untitled");
    Make("Glimmerix owned", 0, plain);
    Make("Glimmerix tool", WS_EX_TOOLWINDOW);
    EXPECT_EQ(FindProcessWindow(GetCurrentProcessId()), nullptr);
}

TEST_F(WindowSearch, OtherProcessesWindows)
{
    ScratchFolder folder;
    RunningProduct product(folder.Path(), "product");
    HWND window = FindProcessWindow(product.Id());
    ASSERT_NE(window, nullptr);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    EXPECT_EQ(owner, product.Id());
    EXPECT_EQ(FindProcessWindow(0x7FFF0000), nullptr);
}

TEST(ClosingInstances, ClosesProductsAndNeverThisProcess)
{
    ScratchFolder folder;
    const int base = g_instanceManager.CountProcesses();
    RunningProduct polite(folder.Path(), "polite");
    RunningProduct stubborn(folder.Path(), "stubborn", /*ignoreClose=*/true);

    CloseOtherInstances();

    DWORD code = 1;
    ASSERT_TRUE(polite.Process().WaitForExit(20000, &code));
    ASSERT_TRUE(stubborn.Process().WaitForExit(20000, &code));
    EXPECT_EQ(code, 0u);  // terminated with exit code 0
    EXPECT_EQ(ListedIds().front(), GetCurrentProcessId());
    // The terminated one never left the list by itself: its id stays behind.
    std::vector<DWORD> ids = ListedIds();
    EXPECT_NE(std::find(ids.begin(), ids.end(), stubborn.Id()), ids.end());
    g_instanceManager.RemoveProcess(stubborn.Id());
    g_instanceManager.RemoveProcess(polite.Id());  // if it was terminated before it could leave
    EXPECT_EQ(g_instanceManager.CountProcesses(), base);
}

// The close request goes to every listed process's window before anything else;
// a process that is no copy of the product or of this program is only asked.
TEST(ClosingInstances, CloseRequestComesFirstAndAloneForOthers)
{
    ScratchFolder folder;
    ASSERT_TRUE(CopyFileA(ProductExe().c_str(), (folder / "Viewer.exe").c_str(), FALSE));
    RunningProduct viewer(folder.Path(), "viewer", /*ignoreClose=*/true, folder / "Viewer.exe");

    CloseOtherInstances();

    EXPECT_TRUE(viewer.WaitForRecord("close 1001"));
    EXPECT_TRUE(viewer.Process().IsRunning());
    viewer.Process().Terminate();
    g_instanceManager.RemoveProcess(viewer.Id());
}

TEST(ClosingInstances, StaleIdOfAnUnrelatedProcessIsLeftAlone)
{
    ScratchFolder folder;
    WriteTextFile(folder / "held.txt", "x");
    ChildProcess unrelated(Quote(HelperExe("file_holder")) + " " + Quote(folder / "held.txt") + " " +
                           Quote(folder / "ready"));
    ASSERT_TRUE(WaitUntil([&] { return FileExists(folder / "ready"); }));
    // As if a product had ended without leaving the list and its id had been reused.
    ASSERT_TRUE(g_instanceManager.AddProcess(unrelated.Id()));
    RunningProduct product(folder.Path(), "product", /*ignoreClose=*/true);

    CloseOtherInstances();

    EXPECT_TRUE(product.Process().WaitForExit(20000));
    EXPECT_TRUE(unrelated.IsRunning());
    g_instanceManager.RemoveProcess(unrelated.Id());
    g_instanceManager.RemoveProcess(product.Id());
}

TEST(ClosingInstances, IdentityOfProcesses)
{
    ScratchFolder folder;
    // A copy of this program under another name is one of ours; a product copy by its name.
    ASSERT_TRUE(CopyFileA(SetupExe().c_str(), (folder / "uni5A.tmp").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(ProductExe().c_str(), (folder / "GLIMCAP6.EXE").c_str(), FALSE));
    WriteTextFile(folder / "held.txt", "x");
    struct { std::string commandLine; bool ours; } cases[] = {
        {Quote(folder / "uni5A.tmp"), true},
        {Quote(folder / "GLIMCAP6.EXE"), true},
        {Quote(HelperExe("file_holder")) + " " + Quote(folder / "held.txt"), false},
    };
    for (const auto& c : cases) {
        ChildProcess child(c.commandLine);
        ASSERT_TRUE(child.Started()) << c.commandLine;
        CHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, child.Id()));
        ASSERT_TRUE(process.IsValid());
        EXPECT_EQ(IsInstanceProcess(process.Get()), c.ours) << c.commandLine;
        child.Terminate();
    }
}
}  // namespace
