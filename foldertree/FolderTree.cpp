#include "foldertree/FolderTree.h"

#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <unordered_map>

namespace {

struct StringHash {
    using is_transparent = void;
    size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
};

struct Tree {
    std::unordered_map<std::string, int32_t, StringHash, std::equal_to<>> nodes;
};

// Handles stay valid across calls from any thread; the registry is tiny and
// touched once per song, so one mutex is plenty.
struct Registry {
    std::mutex mutex;
    std::map<int32_t, std::unique_ptr<Tree>> trees;
    int32_t lastHandle = 0;
};

Registry& registry() {
    static Registry instance;
    return instance;
}

Tree* find(Registry& reg, int32_t handle) {
    auto it = reg.trees.find(handle);
    return it == reg.trees.end() ? nullptr : it->second.get();
}

} // namespace

int32_t Tree_New() {
    Registry& reg = registry();
    std::lock_guard lock(reg.mutex);
    try {
        // Handles are never reused, so a stale handle cannot reach a new tree.
        if (reg.lastHandle == INT32_MAX)
            return 0;
        const int32_t handle = ++reg.lastHandle;
        reg.trees.emplace(handle, std::make_unique<Tree>());
        return handle;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

void Tree_Free(int32_t tree) {
    if (tree == 0)
        return;
    Registry& reg = registry();
    std::lock_guard lock(reg.mutex);
    reg.trees.erase(tree);
}

int32_t Tree_AddPathNode(int32_t tree, std::string_view folder, int32_t /*catalogueIndex*/) {
    Registry& reg = registry();
    std::lock_guard lock(reg.mutex);
    Tree* t = find(reg, tree);
    if (!t)
        return 0;
    auto it = t->nodes.find(folder);
    if (it != t->nodes.end())
        return it->second;
    if (t->nodes.size() >= static_cast<size_t>(INT32_MAX))
        return 0;
    const auto node = static_cast<int32_t>(t->nodes.size() + 1);
    t->nodes.emplace(std::string(folder), node);
    return node;
}

int32_t Tree_FindPathNode(int32_t tree, std::string_view folder) {
    Registry& reg = registry();
    std::lock_guard lock(reg.mutex);
    Tree* t = find(reg, tree);
    if (!t)
        return 0;
    auto it = t->nodes.find(folder);
    return it == t->nodes.end() ? 0 : it->second;
}

int32_t Tree_GetNodesCount(int32_t tree) {
    Registry& reg = registry();
    std::lock_guard lock(reg.mutex);
    Tree* t = find(reg, tree);
    return t ? static_cast<int32_t>(t->nodes.size()) : 0;
}
