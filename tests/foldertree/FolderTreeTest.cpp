#include "foldertree/FolderTree.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Folders that differ only in case get their own nodes in the scan's test.
TEST(FolderTree, EachTreeFindsItsFoldersByTheirExactBytes) {
    const int32_t first = Tree_New();
    const int32_t second = Tree_New();
    ASSERT_NE(first, 0);
    const int32_t a = Tree_AddPathNode(first, "/music/A/", 1);
    EXPECT_NE(a, 0);
    EXPECT_EQ(Tree_AddPathNode(first, "/music/A/", 7), a);
    EXPECT_EQ(Tree_FindPathNode(first, "/music/A/"), a);
    const std::string latin1Name("/m\xe9lodies/\xff/", 13); // not valid UTF-8
    const int32_t node = Tree_AddPathNode(first, latin1Name, 2);
    EXPECT_NE(node, 0);
    EXPECT_NE(node, a);
    EXPECT_EQ(Tree_FindPathNode(first, latin1Name), node);
    EXPECT_EQ(Tree_FindPathNode(second, latin1Name), 0);
    const std::string withNul("/a\0b/", 5);
    EXPECT_NE(Tree_AddPathNode(first, withNul, 3), Tree_AddPathNode(first, "/a/", 4));
    EXPECT_EQ(Tree_GetNodesCount(first), 4);
    EXPECT_EQ(Tree_FindPathNode(first, "/never/added/"), 0);
    EXPECT_EQ(Tree_FindPathNode(first, ""), 0);
    Tree_Free(first);
    Tree_Free(second);
}

TEST(FolderTree, AFreedOrZeroHandleFindsAndAddsNothing) {
    const int32_t tree = Tree_New();
    Tree_Free(tree);
    // A freed handle is never valid again, not even for a tree made later.
    const int32_t next = Tree_New();
    EXPECT_NE(next, tree);
    EXPECT_EQ(Tree_AddPathNode(tree, "/x/", 1), 0);
    EXPECT_EQ(Tree_FindPathNode(tree, "/x/"), 0);
    Tree_Free(next);
    Tree_Free(0); // does nothing
    EXPECT_EQ(Tree_AddPathNode(0, "/x/", 1), 0);
}

} // namespace
