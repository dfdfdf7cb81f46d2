// Start-up when the instance list's mutexes cannot be made: the program ends
// before it touches the list. This test process is no member of the list, so
// it can take the mutexes' names for objects of another kind.
#include <gtest/gtest.h>

#include "../classlib/handles.h"
#include "paths.h"
#include "processes.h"
#include "scratch.h"
#include "ui_driver.h"

namespace {
const char kListName[] = "COXInstanceManager_FileMap_Orvandelsys.Glimmerix-Pro.v4";

class MutexNameTaken : public ::testing::TestWithParam<const char*> {};

TEST_P(MutexNameTaken, StartUpEndsCleanly)
{
    // Members of earlier tests may still be on their way out: the name is free once they are gone.
    CHandle squatter;
    ASSERT_TRUE(WaitUntil([&] {
        squatter.Reset(CreateEventA(nullptr, TRUE, FALSE, GetParam()));
        return squatter.IsValid() && GetLastError() != ERROR_ALREADY_EXISTS;
    })) << "a member of the instance list is still running";

    for (const char* arguments : {" -s", ""}) {
        ChildProcess setup(Quote(SetupExe()) + arguments);
        DWORD code = 0;
        ASSERT_TRUE(setup.WaitForExit(30000, &code)) << "start-up went on: " << arguments;
        EXPECT_EQ(code, static_cast<DWORD>(ERROR_INVALID_HANDLE));
        // It never made or joined the list.
        CHandle list(OpenFileMappingA(FILE_MAP_READ, FALSE, kListName));
        EXPECT_FALSE(list.IsValid());
    }
}

INSTANTIATE_TEST_SUITE_P(Startup, MutexNameTaken,
                         ::testing::Values("COXInstanceManager_InstanceList_Mutex_Orvandelsys.Glimmerix-Pro.v4",
                                           "COXInstanceManager_Additional_Mutex_Orvandelsys.Glimmerix-Pro.v4"));
}  // namespace
