// The projects of a data set as the projects dialog edits them: the list of
// records in file order (new projects appended) and the tree shown from it.
// Nothing here touches the disk except reading the ids in use for a new id;
// the dialog saves the whole list when the user confirms.
#pragma once

#include "data/records.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quillory {

class ProjectTree {
public:
    // The deepest a project sits (the top level is depth 0). A tree view lays
    // out its expanded rows by recursion: the chain of thousands of nested
    // projects a damaged file may hold would exhaust the stack.
    static constexpr int kMaxDepth = 128;

    // Builds the tree the way the file has always been read: each record
    // hangs under the latest record read before it whose id is its parentId,
    // or at the top when none is, or when it would sit deeper than kMaxDepth.
    explicit ProjectTree(std::vector<ProjectRecord> records = {});
    // The data set whose time frames and running projects count for every
    // fresh id, a renumbered parent's included.
    void setDataSetPath(std::string path) { m_dataSetPath = std::move(path); }

    // Nodes are named by keys that stay valid while the dialog lives.
    static constexpr int kNone = -1;
    bool isAlive(int key) const;
    const ProjectRecord& record(int key) const { return m_nodes.at(static_cast<std::size_t>(key)).record; }
    ProjectRecord& record(int key);
    int parentOf(int key) const { return m_nodes.at(static_cast<std::size_t>(key)).parent; }
    // Top-level projects (kNone) or a project's sub-projects, in display order.
    const std::vector<int>& childrenOf(int key) const;
    // Position of a node among its parent's children.
    int rowOf(int key) const;
    int size() const; // living nodes
    // The keys of living nodes in list order (file order, new ones last).
    std::vector<int> listOrder() const;

    // A new project named `name` as the last child of `parentKey` (kNone for
    // the top level). Its id is one more than any id in use: the list's, the
    // parents they name, and those the time frames and the running projects
    // of `dataSetPath` refer to.
    int create(const std::string& name, int parentKey, const std::string& dataSetPath);
    // Where create puts a sub-project of `parentKey`: under it, or at the top
    // level when it is already as deep as a project may be.
    int parentForNew(int parentKey) const;
    int depthOf(int key) const;
    // Removes the project and everything below it.
    void remove(int key);
    // Sets the name, cut to the 60 bytes the record holds.
    void rename(int key, const std::string& name);
    // A project dropped on `target` becomes, with its sub-projects, the next
    // sibling of `target` under `target`'s parent. False, and nothing done,
    // for a drop on itself, on one of its own sub-projects or on nothing.
    bool canMove(int dragged, int target) const;
    bool move(int dragged, int target);

    bool modified() const { return m_modified; }
    // Tells the tree that a record was edited in place.
    void touch() { m_modified = true; }

    // The records to write, in an order that reads back as exactly this
    // tree: the list order when it does, otherwise parents before their
    // sub-projects, level by level as shown. A damaged file may give a parent
    // an id it shares with another project, or -1: such a parent is written
    // with a fresh id (the first project of a shared id keeps it, so time
    // recorded under that id stays where it showed), as a sub-project cannot
    // name it otherwise.
    std::vector<ProjectRecord> recordsToSave() const;

private:
    struct Node {
        ProjectRecord record;
        int parent = kNone;
        std::vector<int> children;
        bool alive = true;
    };

    std::vector<int>& childList(int parentKey);
    void attach(int key, int parentKey, int afterKey);
    void detach(int key);
    bool isInSubtree(int key, int root) const;
    // Levels below `key`, itself included.
    int heightOf(int key) const;
    std::vector<int> parentsFirst() const;
    // The ids and parent ids of the living projects.
    std::vector<std::int32_t> idsInUse() const;
    // Whether `records`, written for the nodes `order`, read back as this tree.
    bool readsBackAsShown(const std::vector<int>& order, const std::vector<ProjectRecord>& records) const;
    // Gives fresh ids to the parents that cannot be named by theirs.
    void renumberParents(const std::vector<int>& order, std::vector<ProjectRecord>& records) const;

    std::vector<Node> m_nodes;
    std::vector<int> m_roots;
    std::vector<int> m_listOrder; // file order, new nodes appended
    bool m_modified = false;
    std::string m_dataSetPath;
};

} // namespace quillory
