// The projects tree built from any projects file, edited at the fuzzer's
// choosing (create, delete, rename, move), then saved: the saved records
// read back as exactly the tree that was shown, and an unchanged tree is
// written back byte for byte.
#include "fuzzsupport.h"

#include "data/text.h"
#include "records/projecttree.h"

#include <cstring>
#include <unordered_map>

namespace quillory::fuzz {
namespace {

// The names of a project's sub-projects (or of the top level), as shown.
std::vector<std::string> childNames(const ProjectTree& tree, int key)
{
    std::vector<std::string> names;
    for (int child : tree.childrenOf(key))
        names.push_back(fieldText(tree.record(child).name));
    return names;
}

} // namespace
} // namespace quillory::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace quillory;
    using namespace quillory::fuzz;
    // The first part is the projects file as it stands; a short form of one
    // byte pair per project (id, parent, both small, 255 for -1) follows the
    // separator, then the edits.
    const auto parts = pieces(data, size, 3);
    std::vector<ProjectRecord> records;
    const std::string file = wholeRecords(parts[0], sizeof(ProjectRecord));
    records.resize(file.size() / sizeof(ProjectRecord));
    if (!file.empty())
        std::memcpy(records.data(), file.data(), file.size());
    for (std::size_t i = 0; i + 1 < parts[1].size() && i < 2 * 200; i += 2) {
        const auto small = [](char c) { return c == '\xFF' ? -1 : static_cast<std::uint8_t>(c) % 16; };
        records.push_back(newProjectRecord(small(parts[1][i]), "", small(parts[1][i + 1])));
    }
    test::SimulatedFileSystem disk;
    disk.makeFolder("/data");
    ScopedFileSystem scope(disk);
    const std::string prj = siblingPath(kDataSet, "prj");

    ProjectTree unchanged(records);
    const auto same = unchanged.recordsToSave();
    require(bytesOf(same) == bytesOf(records), "an unchanged tree is written back as it was read");

    ProjectTree tree(records);
    // Names of their own tell the projects apart once written and read again.
    for (std::size_t i = 0; i < tree.listOrder().size(); ++i)
        setFieldText(tree.record(tree.listOrder()[i]).name, std::to_string(i));
    std::size_t made = tree.listOrder().size();
    const std::string& edits = parts[2];
    // A few hundred projects and edits say all there is to say, and keep
    // runs quick.
    for (std::size_t i = 0; i + 2 < edits.size() && i < 3 * 200; i += 3) {
        const std::vector<int> keys = tree.listOrder();
        const auto any = [&](char c) {
            return keys.empty() ? ProjectTree::kNone : keys[static_cast<std::uint8_t>(c) % keys.size()];
        };
        switch (static_cast<std::uint8_t>(edits[i]) % 5) {
        case 0:
            tree.create(std::to_string(made++), ProjectTree::kNone, prj);
            break;
        case 1:
            tree.create(std::to_string(made++), any(edits[i + 1]), prj);
            break;
        case 2:
            tree.remove(any(edits[i + 1]));
            break;
        case 3:
            tree.move(any(edits[i + 1]), any(edits[i + 2]));
            break;
        case 4:
            // A name of its own, with bytes of any kind after it.
            if (!keys.empty())
                tree.rename(any(edits[i + 1]), std::to_string(made++) + "\xC3\xA9" + edits.substr(i + 1, 2));
            break;
        }
    }
    for (int key : tree.listOrder())
        require(tree.depthOf(key) <= ProjectTree::kMaxDepth, "no deeper than a tree view can lay out");
    const ProjectTree reread(tree.recordsToSave());
    require(reread.size() == tree.size(), "every project is saved");
    std::unordered_map<std::string, int> keyOfName;
    for (int key : reread.listOrder())
        keyOfName[fieldText(reread.record(key).name)] = key;
    require(childNames(reread, ProjectTree::kNone) == childNames(tree, ProjectTree::kNone), "the top level as shown");
    for (int key : tree.listOrder()) {
        const auto found = keyOfName.find(fieldText(tree.record(key).name));
        require(found != keyOfName.end(), "every project is read back");
        require(childNames(reread, found->second) == childNames(tree, key), "sub-projects as shown, in order");
    }
    return 0;
}
