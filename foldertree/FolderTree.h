#pragma once

// The folder tree: maps each distinct folder text to a stable nonzero node
// value, so that all songs of one album folder share a node. Trees are known
// by handle only; 0 is never a valid handle or node.
//
// Folder texts are compared byte for byte: the caller passes the exact
// encoded file-system text (two folders that differ only in case are two
// folders on Linux).

#include <cstdint>
#include <string_view>

// A new, empty tree; 0 when none can be made.
int32_t Tree_New();

// Releases the tree and all its nodes. A 0 or unknown handle does nothing.
void Tree_Free(int32_t tree);

// The node of folder, created on first use. The same text always gives the
// same nonzero node within one tree; 0 only for a 0 or unknown handle.
// catalogueIndex, the record that registers the folder, is not kept: nothing
// reads it back.
int32_t Tree_AddPathNode(int32_t tree, std::string_view folder, int32_t catalogueIndex);

// The node that Tree_AddPathNode gave for folder, or 0 when it was never added.
int32_t Tree_FindPathNode(int32_t tree, std::string_view folder);

// The number of distinct folders in the tree (0 for an unknown handle).
int32_t Tree_GetNodesCount(int32_t tree);
