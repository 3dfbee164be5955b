// nimbra-pss-alone PID [--by-mapping]
//
// The proportional set size that the process tree under PID would have
// alone on the machine. On a machine where tests and other clients run at
// the same time, the kernel's PSS shares Qt's pages with them and comes out
// lower (and varies run to run); the figure here shares a page only with
// processes that would run anyway: the system's, and those of the client's
// session that are no Qt program (the X server, the session bus, the sound
// server). It reads page frame numbers from
// /proc/PID/pagemap, which needs root (CAP_SYS_ADMIN). In MiB; with
// --by-mapping, also every mapping of at least 16 KiB, largest first.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <unordered_map>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

struct Mapping
{
    std::uint64_t start = 0;
    std::uint64_t end = 0;
    bool shared = false;
    std::string name;
};

constexpr std::uint64_t pageSize = 4096;

std::vector<Mapping> mappingsOf(int pid)
{
    std::vector<Mapping> found;
    std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
    std::string line;
    while (std::getline(maps, line)) {
        std::istringstream fields(line);
        std::string range, permissions, offset, device, inode;
        Mapping mapping;
        fields >> range >> permissions >> offset >> device >> inode;
        std::getline(fields >> std::ws, mapping.name);
        const auto dash = range.find('-');
        mapping.start = std::stoull(range.substr(0, dash), nullptr, 16);
        mapping.end = std::stoull(range.substr(dash + 1), nullptr, 16);
        mapping.shared = permissions.size() > 3 && permissions[3] == 's';
        found.push_back(std::move(mapping));
    }
    return found;
}

// The pagemap of a process, read with pread: the kernel takes only reads
// of whole entries, which a buffered stream does not make.
class Pagemap
{
public:
    explicit Pagemap(int pid)
        : m_fd(::open(("/proc/" + std::to_string(pid) + "/pagemap").c_str(), O_RDONLY | O_CLOEXEC))
    {
    }
    ~Pagemap()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Pagemap(const Pagemap &) = delete;
    Pagemap &operator=(const Pagemap &) = delete;

    std::size_t read(std::uint64_t *entries, std::size_t count, std::uint64_t firstPage) const
    {
        const ssize_t got = m_fd < 0 ? -1 : ::pread(m_fd, entries, count * 8, off_t(firstPage * 8));
        return got < 0 ? 0 : std::size_t(got) / 8;
    }

private:
    int m_fd;
};

// Frame numbers of the resident pages of one mapping, in address order
// (0 for a page that is not resident).
std::vector<std::uint64_t> framesOf(const Pagemap &pagemap, const Mapping &mapping)
{
    const std::uint64_t pages = (mapping.end - mapping.start) / pageSize;
    std::vector<std::uint64_t> entries(pages);
    entries.resize(pagemap.read(entries.data(), entries.size(), mapping.start / pageSize));
    for (std::uint64_t &entry : entries) {
        const bool present = entry >> 63;
        entry = present ? entry & ((std::uint64_t(1) << 55) - 1) : 0;
    }
    return entries;
}

std::vector<int> processes()
{
    std::vector<int> found;
    for (const auto &entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename();
        if (!name.empty() && std::all_of(name.begin(), name.end(), ::isdigit))
            found.push_back(std::stoi(name));
    }
    return found;
}

struct Lineage
{
    int parent = 0;
    int session = 0;
};

Lineage lineageOf(int pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), {});
    const auto close = text.rfind(')');
    if (close == std::string::npos)
        return {};
    std::istringstream fields(text.substr(close + 2));
    std::string state;
    Lineage lineage;
    int group = 0;
    fields >> state >> lineage.parent >> group >> lineage.session;
    return lineage;
}

bool isQtProgram(const std::vector<Mapping> &mappings)
{
    return std::any_of(mappings.begin(), mappings.end(),
        [](const Mapping &mapping) { return mapping.name.find("libQt6Core.so") != std::string::npos; });
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PID [--by-mapping]\n", argv[0]);
        return 2;
    }
    const int root = std::atoi(argv[1]);
    const bool byMapping = argc > 2 && std::string(argv[2]) == "--by-mapping";

    const std::vector<int> all = processes();
    std::set<int> tree {root};
    for (bool grew = true; grew;) {
        grew = false;
        for (const int pid : all) {
            if (!tree.count(pid) && tree.count(lineageOf(pid).parent))
                grew = tree.insert(pid).second;
        }
    }

    // Every page table entry of the tree, by frame, and the mapping it is in.
    struct Entry
    {
        std::uint64_t frame;
        const std::string *mapping;
    };
    std::vector<Entry> ours;
    std::unordered_map<std::uint64_t, int> mappers;
    std::set<std::string> names;
    for (const int pid : tree) {
        const Pagemap pagemap(pid);
        for (const Mapping &mapping : mappingsOf(pid)) {
            if (mapping.name == "[vsyscall]")
                continue;
            const std::string *name = &*names.insert(mapping.name.empty() ? "[anon]" : mapping.name).first;
            for (const std::uint64_t frame : framesOf(pagemap, mapping)) {
                if (frame) {
                    ours.push_back({frame, name});
                    ++mappers[frame];
                }
            }
        }
    }
    if (ours.empty()) {
        std::fprintf(stderr, "no pages of %d readable (root needed)\n", root);
        return 1;
    }

    // The other processes that would run anyway map some of the same pages:
    // libraries, and the window's shared memory with the X server. Those are
    // the system's own (session 0) and the ones started with the client in
    // its session (the X server, the session bus, the sound server); other
    // sessions are other people's work on a shared machine.
    const int session = lineageOf(root).session;
    for (const int pid : all) {
        if (tree.count(pid))
            continue;
        if (const int theirs = lineageOf(pid).session; theirs != 0 && theirs != session)
            continue;
        const std::vector<Mapping> mappings = mappingsOf(pid);
        if (mappings.empty() || isQtProgram(mappings))
            continue;
        const Pagemap pagemap(pid);
        for (const Mapping &mapping : mappings) {
            // Private anonymous memory is never shared with another program.
            if (!mapping.shared && (mapping.name.empty() || mapping.name[0] == '['))
                continue;
            for (const std::uint64_t frame : framesOf(pagemap, mapping)) {
                if (const auto found = mappers.find(frame); frame && found != mappers.end())
                    ++found->second;
            }
        }
    }

    double total = 0;
    std::map<std::string, double> perMapping;
    for (const Entry &entry : ours) {
        const double share = double(pageSize) / mappers[entry.frame];
        total += share;
        perMapping[*entry.mapping] += share;
    }
    std::printf("%.1f\n", total / (1024 * 1024));
    if (byMapping) {
        std::vector<std::pair<double, std::string>> largest;
        for (const auto &[name, bytes] : perMapping)
            largest.emplace_back(bytes, name);
        std::sort(largest.rbegin(), largest.rend());
        for (const auto &[bytes, name] : largest) {
            if (bytes >= 16 * 1024)
                std::printf("%8.2f  %s\n", bytes / (1024 * 1024), name.c_str());
        }
    }
    return 0;
}
