// Removing the product's keys: whole trees in every hive, the maker's key only
// when bare, the entry keys alone, and nothing outside the product's names.
#include <gtest/gtest.h>

#include <string>

#include "../uninstall/registry_cleanup.h"
#include "scratch.h"

namespace {
const char kProduct[] = "SOFTWARE\\Orvandelsys\\Glimmerix 6";
const char kMaker[] = "SOFTWARE\\Orvandelsys";
const char kUninstall[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const char kAppPaths[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";

void Key(HKEY root, const std::string& path, const std::string& value = "v")
{
    SetRegistryString(root, path, "Value", value);
}

bool Exists(HKEY root, const std::string& path) { return RegistryKeyExists(root, path); }

class RegistryCleanup : public ::testing::Test {
protected:
    ScratchRegistry m_registry{ScratchHives::Every};
};

// A product key several levels deep, with values, in every hive that has one.
void ProductTree(HKEY root, const std::string& prefix = std::string())
{
    Key(root, prefix + kProduct);
    Key(root, prefix + kProduct + "\\Recent\\Files\\A");
    Key(root, prefix + kProduct + "\\Recent\\Files\\B");
    Key(root, prefix + kProduct + "\\Recent\\Z");
    Key(root, prefix + kProduct + "\\Options");
}

TEST_F(RegistryCleanup, ProductTreeGoesFromEveryHive)
{
    ProductTree(HKEY_LOCAL_MACHINE);
    ProductTree(HKEY_CURRENT_USER);
    ProductTree(HKEY_USERS, "S-1-5-21-1\\");
    ProductTree(HKEY_USERS, "S-1-5-21-2\\");
    Key(HKEY_USERS, "S-1-5-21-1_Classes\\.glx");  // a hive of file classes only
    Key(HKEY_CLASSES_ROOT, "GX6.Document\\shell\\open\\command");
    RemoveRegistryEntries();
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        EXPECT_FALSE(Exists(root, kMaker)) << "the product key was the maker's only subkey";
        EXPECT_TRUE(Exists(root, "SOFTWARE")) << "nothing above the maker's key goes";
    }
    for (const char* user : {"S-1-5-21-1\\", "S-1-5-21-2\\"}) {
        EXPECT_FALSE(Exists(HKEY_USERS, std::string(user) + kMaker)) << user;
        EXPECT_TRUE(Exists(HKEY_USERS, std::string(user) + "SOFTWARE")) << user;
    }
    EXPECT_TRUE(Exists(HKEY_USERS, "S-1-5-21-1_Classes\\.glx"));
    EXPECT_FALSE(Exists(HKEY_CLASSES_ROOT, "GX6.Document"));
}

// The maker's key goes when nothing but values is left in it, and stays while
// another product of the maker has a key there.
TEST_F(RegistryCleanup, MakerKeyStaysForOtherProducts)
{
    const struct {
        HKEY root;
        std::string prefix;
        bool otherProduct;
    } cases[] = {
        {HKEY_LOCAL_MACHINE, "", true},
        {HKEY_CURRENT_USER, "", false},
        {HKEY_USERS, "S-1-5-21-1\\", true},
        {HKEY_USERS, "S-1-5-21-2\\", false},
    };
    for (const auto& c : cases) {
        ProductTree(c.root, c.prefix);
        Key(c.root, c.prefix + kMaker, "maker's own value");
        if (c.otherProduct) Key(c.root, c.prefix + kMaker + "\\Glimmerix 5");
    }
    RemoveRegistryEntries();
    for (const auto& c : cases) {
        EXPECT_FALSE(Exists(c.root, c.prefix + kProduct)) << c.prefix;
        EXPECT_EQ(Exists(c.root, c.prefix + kMaker), c.otherProduct) << c.prefix;
        if (c.otherProduct) {
            EXPECT_EQ(GetRegistryString(c.root, c.prefix + kMaker + "\\Glimmerix 5", "Value"), "v") << c.prefix;
        }
    }
}

// The uninstall and application path entries go alone: one with a subkey stays,
// and their sibling entries are never touched.
TEST_F(RegistryCleanup, EntryKeysGoWithoutTheirSubtrees)
{
    Key(HKEY_LOCAL_MACHINE, std::string(kUninstall) + "\\Glimmerix 6");
    Key(HKEY_LOCAL_MACHINE, std::string(kUninstall) + "\\Glimmerix 6 Tools");
    Key(HKEY_LOCAL_MACHINE, std::string(kAppPaths) + "\\Glimcap6.exe\\Sub");
    Key(HKEY_LOCAL_MACHINE, std::string(kAppPaths) + "\\Glimcap5.exe");
    Key(HKEY_CLASSES_ROOT, "GX6.DocumentOld");
    RemoveRegistryEntries();
    EXPECT_FALSE(Exists(HKEY_LOCAL_MACHINE, std::string(kUninstall) + "\\Glimmerix 6"));
    EXPECT_TRUE(Exists(HKEY_LOCAL_MACHINE, std::string(kUninstall) + "\\Glimmerix 6 Tools"));
    EXPECT_TRUE(Exists(HKEY_LOCAL_MACHINE, std::string(kAppPaths) + "\\Glimcap6.exe\\Sub"));
    EXPECT_TRUE(Exists(HKEY_LOCAL_MACHINE, std::string(kAppPaths) + "\\Glimcap5.exe"));
    EXPECT_TRUE(Exists(HKEY_CLASSES_ROOT, "GX6.DocumentOld"));
}

TEST_F(RegistryCleanup, NothingToRemoveChangesNothing)
{
    Key(HKEY_LOCAL_MACHINE, "SOFTWARE\\Other");
    RemoveRegistryEntries();
    EXPECT_TRUE(Exists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Other"));
    RemoveRegistryEntries();  // a second run finds nothing either
    EXPECT_TRUE(Exists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Other"));
}

TEST_F(RegistryCleanup, TreeDeletionReportsWhetherTheKeyWent)
{
    ProductTree(HKEY_CURRENT_USER);
    EXPECT_TRUE(DeleteRegistryTree(HKEY_CURRENT_USER, kProduct));
    EXPECT_FALSE(DeleteRegistryTree(HKEY_CURRENT_USER, kProduct)) << "a missing key was not deleted";
    EXPECT_TRUE(Exists(HKEY_CURRENT_USER, kMaker));
}

TEST_F(RegistryCleanup, KeyWithSubkeysIsNotDeletedAlone)
{
    Key(HKEY_CURRENT_USER, "SOFTWARE\\A\\Sub");
    Key(HKEY_CURRENT_USER, "SOFTWARE\\B");
    DeleteKeyIfNoSubkeys(HKEY_CURRENT_USER, "SOFTWARE\\A");
    DeleteKeyIfNoSubkeys(HKEY_CURRENT_USER, "SOFTWARE\\B");
    DeleteKeyIfNoSubkeys(HKEY_CURRENT_USER, "SOFTWARE\\Missing");
    EXPECT_TRUE(Exists(HKEY_CURRENT_USER, "SOFTWARE\\A\\Sub"));
    EXPECT_FALSE(Exists(HKEY_CURRENT_USER, "SOFTWARE\\B")) << "values do not count";
}
}  // namespace
