#include "app_driver.h"
#include "bench_support.h"
#include "cases.h"

#include <QMimeData>
#include <QUrl>

#include <array>
#include <cstdio>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace bench {
namespace {

QByteArray uriList(const std::vector<std::string>& paths) {
    QByteArray list;
    for (const std::string& path : paths)
        list += QUrl::fromLocalFile(QString::fromStdString(path)).toEncoded() + "\r\n";
    return list;
}

// What adding a dropped file cannot do without: its path out of the list, its first four bytes, its length.
// The names need no unescaping.
double timePlainLoop(const QByteArray& list) {
    constexpr std::string_view kScheme = "file://";
    const double start = nowMs();
    std::uint64_t checksum = 0;
    std::string_view rest(list.constData(), static_cast<std::size_t>(list.size()));
    while (!rest.empty()) {
        const std::size_t end = rest.find("\r\n");
        const std::string path(rest.substr(kScheme.size(), end - kScheme.size()));
        rest.remove_prefix(end + 2);
        const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (descriptor < 0)
            fail("cannot open " + path);
        std::array<unsigned char, 4> header{};
        struct stat status {};
        if (::read(descriptor, header.data(), header.size()) != 4 || ::fstat(descriptor, &status) != 0)
            fail("cannot read " + path);
        checksum += header[3] + static_cast<std::uint64_t>(status.st_size);
        ::close(descriptor);
    }
    const double elapsed = nowMs() - start;
    if (checksum == 0)
        fail("the patch files are empty");
    return elapsed;
}

} // namespace

// Every drop lands on an empty list in a program of its own, as a user's first drop would; the list has no
// way to be emptied in between. The reference is the same drop on the same list written directly on Qt, in a
// program of its own too; the order of the two turns with every run, so that neither always follows the
// other. The plain loop shows what the files alone cost, for information.
void runDrop(const CaseOptions& options) {
    const QByteArray list = uriList(patchFiles(options.folder, options.files));
    const std::vector<std::string> wrenfold{"/proc/self/exe", "drop-once", options.folder,
                                            std::to_string(options.repeats), std::to_string(options.files)};
    const std::vector<std::string> plainQt{BENCH_PLAIN_DROP, options.folder, std::to_string(options.files)};
    std::vector<double> project;
    std::vector<double> reference;
    std::vector<double> plainLoop;
    for (int run = 0; run <= options.repeats; ++run) {
        const bool wrenfoldFirst = run % 2 == 0;
        const ProgramRun first = runProgram(wrenfoldFirst ? wrenfold : plainQt);
        const ProgramRun second = runProgram(wrenfoldFirst ? plainQt : wrenfold);
        const double loopMs = timePlainLoop(list);
        if (run == 0)
            continue; // warms the page cache and the dentry cache for every side
        project.push_back(std::stod((wrenfoldFirst ? first : second).output));
        reference.push_back(std::stod((wrenfoldFirst ? second : first).output));
        plainLoop.push_back(loopMs);
    }
    const std::string name = "drop " + std::to_string(options.files) + " files";
    printRow(name + " vs the same list on plain Qt", median(project), median(reference), 1.5);
    printTiming("  vs open+read+fstat", median(project), median(plainLoop), "for information");
}

void runDropOnce(const CaseOptions& options) {
    const std::vector<std::string> paths = patchFiles(options.folder, options.files);
    QMimeData data;
    data.setData("text/uri-list", uriList(paths));
    AppUnderTest app;
    const double elapsed = app.drop(data);
    if (app.rowCount() != options.files)
        fail("the drop added " + std::to_string(app.rowCount()) + " of " + std::to_string(options.files) +
             " files");
    std::printf("%f\n", elapsed);
}

} // namespace bench
