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
double timeReference(const QByteArray& list) {
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
// way to be emptied in between.
void runDrop(const CaseOptions& options) {
    const QByteArray list = uriList(patchFiles(options.folder, options.files));
    std::vector<double> project;
    std::vector<double> reference;
    for (int run = 0; run <= options.repeats; ++run) {
        const ProgramRun drop = runProgram({"/proc/self/exe", "drop-once", options.folder,
                                            std::to_string(options.repeats), std::to_string(options.files)});
        const double referenceMs = timeReference(list);
        if (run == 0)
            continue; // warms the page cache and the dentry cache for both sides
        project.push_back(std::stod(drop.output));
        reference.push_back(referenceMs);
    }
    printRow("drop " + std::to_string(options.files) + " files vs open+read+fstat", median(project),
             median(reference), 3);
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
