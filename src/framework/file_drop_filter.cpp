#include "file_drop_filter.h"

#include "ascii_text.h"
#include "drag_item.h"
#include "event_loop.h"
#include "file_system.h"
#include "file_type_registry.h"
#include "folder_item.h"
#include "rect_control.h"

#include <QDropEvent>
#include <QMimeData>

#include <algorithm>
#include <string_view>
#include <sys/stat.h>

namespace fw {
namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Decodes to bytes rather than to text: a file's name is whatever bytes the system holds, UTF-8 or not.
std::string percentDecoded(std::string_view encoded) {
    std::string decoded;
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        const int high = encoded[i] == '%' && i + 2 < encoded.size() ? hexValue(encoded[i + 1]) : -1;
        const int low = high >= 0 ? hexValue(encoded[i + 2]) : -1;
        if (low < 0) {
            decoded += encoded[i];
            continue;
        }
        decoded += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return decoded;
}

// The encoded path of a "file:" URI on this machine; empty for anything else.
std::string_view localEncodedPath(std::string_view uri) {
    constexpr std::string_view kScheme = "file:";
    if (!startsWithIgnoringCase(uri, kScheme))
        return {};
    uri = uri.substr(kScheme.size());
    uri = uri.substr(0, uri.find_first_of("?#"));
    if (uri.substr(0, 2) != "//")
        return uri.substr(0, 1) == "/" ? uri : std::string_view();
    uri.remove_prefix(2);
    const auto slash = uri.find('/');
    if (slash == std::string_view::npos)
        return {};
    const std::string_view host = uri.substr(0, slash);
    if (!host.empty() && !equalsIgnoringCase(host, "localhost"))
        return {};
    return uri.substr(slash);
}

// Hands each local file path of a "text/uri-list" to take, in the list's order, until take answers false. The
// paths are decoded to the bytes the system names them by, so a name that is not valid UTF-8 survives. Other
// schemes and remote hosts are left out.
template <typename Take> void forEachLocalPath(const QByteArray& uriList, Take take) {
    const std::string_view list(uriList.constData(), static_cast<std::size_t>(uriList.size()));
    std::size_t start = 0;
    while (start < list.size()) {
        const auto end = std::min(list.find('\n', start), list.size());
        const std::string_view line = trimmedAscii(list.substr(start, end - start));
        start = end + 1;
        if (line.empty() || line.front() == '#')
            continue;
        std::string path = percentDecoded(localEncodedPath(line));
        // A NUL cannot stand in a path; the system would read a different, shorter one.
        if (path.empty() || path.find('\0') != std::string::npos)
            continue;
        if (!take(std::move(path)))
            return;
    }
}

} // namespace

FileDropFilter::FileDropFilter(RectControl& control, QObject* parent) : QObject(parent), m_control(control) {}

// Every drag event is taken here, accepted or not: the item view underneath would otherwise refuse file drops
// with its own rules. A drop is only ever taken as a copy: a source told that its files were moved may delete
// them.
bool FileDropFilter::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::DragEnter: {
        auto* drag = static_cast<QDragEnterEvent*>(event);
        m_dragAccepted = (drag->possibleActions() & Qt::CopyAction) && offersAFile(uriListOf(*drag));
        answer(*drag, m_dragAccepted);
        return true;
    }
    case QEvent::DragMove:
        // The files were looked at on entering; a drag of thousands of files moves without looking again.
        answer(*static_cast<QDragMoveEvent*>(event), m_dragAccepted);
        return true;
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const QByteArray uriList = uriListOf(*drop);
        answer(*drop, (drop->possibleActions() & Qt::CopyAction) && offersAFile(uriList));
        if (drop->isAccepted())
            raiseDropObject(pathsOfAcceptedType(uriList));
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}

void FileDropFilter::answer(QDropEvent& event, bool accepted) {
    if (!accepted) {
        event.ignore();
        return;
    }
    event.setDropAction(Qt::CopyAction);
    event.accept();
}

QByteArray FileDropFilter::uriListOf(const QDropEvent& event) {
    const QMimeData* data = event.mimeData();
    return data ? data->data("text/uri-list") : QByteArray();
}

// The files are looked at as the handler comes to them, not here: a drop of thousands of files would
// otherwise have each looked at twice.
void FileDropFilter::raiseDropObject(const std::vector<std::string>& paths) {
    std::vector<Ref<FolderItem>> files;
    for (const std::string& path : paths)
        files.push_back(GetFolderItem(path, 0));
    const auto item = makeRef<DragItem>(std::move(files));
    const auto action = static_cast<std::int32_t>(Qt::CopyAction);
    dispatch([&] { m_control.raiseEvent("DropObject", item, action); });
}

bool FileDropFilter::hasAcceptedType(const std::string& path) const {
    const std::string name = lastPathComponent(path);
    const auto& types = m_control.acceptedFileTypes();
    return std::any_of(types.begin(), types.end(),
                       [&](const std::string& type) { return fileTypeMatches(type, name); });
}

// One acceptable file is enough to take the drag, so the rest of a long list is not even decoded. A file that
// is missing counts: it is the list's to decide what to do with it.
bool FileDropFilter::offersAFile(const QByteArray& uriList) const {
    bool found = false;
    forEachLocalPath(uriList, [&](std::string path) {
        if (!hasAcceptedType(path))
            return true;
        const std::optional<struct stat> status = fileStatus(path);
        found = !status || !S_ISDIR(status->st_mode);
        return !found;
    });
    return found;
}

std::vector<std::string> FileDropFilter::pathsOfAcceptedType(const QByteArray& uriList) const {
    std::vector<std::string> paths;
    forEachLocalPath(uriList, [&](std::string path) {
        if (hasAcceptedType(path))
            paths.push_back(std::move(path));
        return true;
    });
    return paths;
}

} // namespace fw
