// Path components and extensions, and resource look-up in the bundle.
#include <gtest/gtest.h>

#include <unistd.h>

#include "ScratchDirectory.h"
#include "host/core/Bundle.h"
#include "host/core/Path.h"

namespace path = host::path;

TEST(Path, ComponentsAndExtensions) {
    EXPECT_EQ(path::lastComponent("a/b/c.png"), "c.png");
    EXPECT_EQ(path::lastComponent("a/b/"), "b");
    EXPECT_EQ(path::lastComponent("c.png"), "c.png");
    EXPECT_EQ(path::deletingLastComponent("a/b/c.png"), "a/b");
    EXPECT_EQ(path::deletingLastComponent("c.png"), "");
    EXPECT_EQ(path::deletingLastComponent("/c.png"), "/");

    EXPECT_EQ(path::extension("dir/sheet.pvr.ccz"), "ccz");
    EXPECT_EQ(path::deletingExtension("dir/sheet.pvr.ccz"), "dir/sheet.pvr");
    // Dots in folders and leading dots are not extensions.
    EXPECT_EQ(path::extension("v1.2/readme"), "");
    EXPECT_EQ(path::deletingExtension("v1.2/readme"), "v1.2/readme");
    EXPECT_EQ(path::extension(".hidden"), "");
    EXPECT_EQ(path::extension("trailing."), "");

    EXPECT_EQ(path::appendingComponent("a", "b.png"), "a/b.png");
    EXPECT_EQ(path::appendingComponent("a/", "b.png"), "a/b.png");
    EXPECT_EQ(path::appendingComponent("", "b.png"), "b.png");
    EXPECT_EQ(path::appendingExtension("a/b", "pvr.gz"), "a/b.pvr.gz");
    EXPECT_EQ(path::appendingExtension("a/b", ""), "a/b");
    EXPECT_TRUE(path::isAbsolute("/x"));
    EXPECT_FALSE(path::isAbsolute("x"));
}

TEST(Bundle, FindsResourcesByNameTypeAndFolder) {
    ScratchDirectory dir;
    dir.write("ball.png", "x");
    dir.write("images/skate.png", "x");
    host::Bundle& bundle = host::Bundle::main();
    bundle.setResourcePath(dir.path());
    EXPECT_EQ(bundle.resourcePath(), dir.path());
    EXPECT_EQ(bundle.pathForResource("ball.png", "", ""), dir.file("ball.png"));
    EXPECT_EQ(bundle.pathForResource("ball", "png", ""), dir.file("ball.png"));
    EXPECT_EQ(bundle.pathForResource("skate.png", "", "images"), dir.file("images/skate.png"));
    EXPECT_EQ(bundle.pathForResource("skate.png", "", ""), "");
    EXPECT_EQ(bundle.pathForResource("", "", ""), "");
    EXPECT_TRUE(host::Bundle::fileExists(dir.file("ball.png")));
    EXPECT_FALSE(host::Bundle::fileExists(dir.file("nope.png")));

    // By default: "resources" beside the executable.
    bundle.setResourcePath("");
    char exe[4096];
    const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    ASSERT_GT(n, 0);
    exe[n] = '\0';
    EXPECT_EQ(bundle.resourcePath(), path::deletingLastComponent(exe) + "/resources");
}
