#include "project/ProjectFile.h"

#include "core/AtomicFile.h"
#include "picture/FileChecks.h"
#include "picture/ImageOps.h"
#include "project/ProjectJson.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>

#include <zip.h>

#include <algorithm>
#include <memory>

namespace chartrek {

namespace {

const QByteArray kMimeType = QByteArrayLiteral("application/x-chartrek-project");
const char *const kJsonName = "project.json";
const char *const kPictureName = "picture.png";
// What an entry may hold once inflated: a description of ten million points, the largest
// picture the program holds. Reading stops there whatever the archive claims.
constexpr zip_uint64_t kMaxJsonBytes = 1024ull << 20;
constexpr zip_uint64_t kMaxPictureBytes = 4096ull << 20;
constexpr zip_int64_t kMaxEntries = 64;
// Larger than any project file the program writes; a file beyond it is not read into memory.
constexpr qint64 kMaxFileBytes = qint64(8) << 30;

struct ZipCloser {
    void operator()(zip_t *archive) const { zip_discard(archive); }
};
using Archive = std::unique_ptr<zip_t, ZipCloser>;

QString damaged(const QString &why)
{
    return ProjectTexts::tr("The file is not a Chartrek project or is damaged: %1.").arg(why);
}

// An entry's bytes, at most `most`; nothing when it is longer or does not inflate to what its
// checksum says.
std::optional<QByteArray> readEntry(zip_t *archive, zip_uint64_t index, zip_uint64_t most, QString *error)
{
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(archive, index, 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE)) {
        *error = damaged(ProjectTexts::tr("an entry cannot be read"));
        return std::nullopt;
    }
    if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE) {
        *error = damaged(ProjectTexts::tr("an entry is encrypted"));
        return std::nullopt;
    }
    if (st.size > most) {
        *error = damaged(ProjectTexts::tr("\"%1\" is larger than any project holds").arg(QString::fromUtf8(st.name)));
        return std::nullopt;
    }
    zip_file_t *file = zip_fopen_index(archive, index, 0);
    if (!file) {
        *error = damaged(QString::fromUtf8(zip_error_strerror(zip_get_error(archive))));
        return std::nullopt;
    }
    // Read in pieces, never more than the entry says plus one byte: what an archive claims
    // decides nothing about the memory taken before the bytes are there.
    QByteArray bytes;
    const zip_int64_t wanted = zip_int64_t(st.size) + 1; // one more: an entry longer than it says is refused
    zip_int64_t got = 0;
    constexpr zip_int64_t kPiece = 1 << 20;
    while (got < wanted) {
        const qsizetype size = qsizetype(std::min(wanted, got + kPiece));
        if (bytes.capacity() < size)
            bytes.reserve(std::max(size, 2 * bytes.capacity()));
        bytes.resize(size);
        const zip_int64_t n = zip_fread(file, bytes.data() + got, zip_uint64_t(bytes.size() - got));
        if (n <= 0) {
            if (n < 0)
                got = -1;
            break;
        }
        got += n;
    }
    const bool closed = zip_fclose(file) == 0;
    if (got != zip_int64_t(st.size) || !closed) {
        *error = damaged(ProjectTexts::tr("\"%1\" is truncated or corrupted").arg(QString::fromUtf8(st.name)));
        return std::nullopt;
    }
    bytes.resize(qsizetype(got));
    return bytes;
}

// Names that would lead out of a folder the archive were unpacked into; the program unpacks
// nothing, but such an archive was made to harm someone.
bool unsafeName(const QString &name)
{
    return name.isEmpty() || name.startsWith(QLatin1Char('/')) || name.contains(QLatin1Char('\\'))
        || name.contains(QLatin1Char(':')) || name.split(QLatin1Char('/')).contains(QStringLiteral(".."));
}

bool addEntry(zip_t *archive, const char *name, const QByteArray &data, bool compress)
{
    zip_source_t *source = zip_source_buffer(archive, data.constData(), zip_uint64_t(data.size()), 0);
    if (!source)
        return false;
    const zip_int64_t index = zip_file_add(archive, name, source, ZIP_FL_ENC_UTF_8);
    if (index < 0) {
        zip_source_free(source);
        return false;
    }
    return zip_set_file_compression(archive, zip_uint64_t(index), compress ? ZIP_CM_DEFLATE : ZIP_CM_STORE, 0) == 0;
}

} // namespace

QByteArray encodePicture(const QImage &picture)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    // zlib's fastest level: the handler maps 0-100 onto zlib's 0-9, and anything below 11 onto
    // 0, which stores the pixels uncompressed.
    writer.setCompression(11);
    if (!writer.write(picture))
        return {};
    return png;
}

QByteArray projectArchive(const Project &project, const QByteArray &png)
{
    const QByteArray picture = png.isEmpty() ? encodePicture(project.picture) : png;
    const QByteArray json = projectJson(project);
    if (picture.isEmpty())
        return {};
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *out = zip_source_buffer_create(nullptr, 0, 0, &error);
    if (!out)
        return {};
    zip_source_keep(out);
    zip_t *archive = zip_open_from_source(out, ZIP_TRUNCATE, &error);
    QByteArray bytes;
    // The type first and stored, as OpenDocument files have it, so that tools recognise the file;
    // the picture is compressed already.
    if (archive && addEntry(archive, "mimetype", kMimeType, false) && addEntry(archive, kJsonName, json, true)
        && addEntry(archive, kPictureName, picture, false) && zip_close(archive) == 0) {
        archive = nullptr;
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_source_stat(out, &st) == 0 && zip_source_open(out) == 0) {
            bytes.resize(qsizetype(st.size));
            if (zip_source_read(out, bytes.data(), st.size) != zip_int64_t(st.size))
                bytes.clear();
            zip_source_close(out);
        }
    }
    if (archive)
        zip_discard(archive);
    zip_source_free(out);
    zip_error_fini(&error);
    return bytes;
}

bool writeProject(const QString &path, const Project &project, QString *error, const QByteArray &png)
{
    const QByteArray bytes = projectArchive(project, png);
    if (bytes.isEmpty()) {
        *error = ProjectTexts::tr("the project could not be packed (out of memory?)");
        return false;
    }
    return writeFileAtomically(path, bytes, error);
}

std::optional<Project> readProjectBytes(const QByteArray &bytes, QString *error, bool withPicture)
{
    zip_error_t zerror;
    zip_error_init(&zerror);
    zip_source_t *source = zip_source_buffer_create(bytes.constData(), zip_uint64_t(bytes.size()), 0, &zerror);
    Archive archive(source ? zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &zerror) : nullptr);
    if (!archive) {
        *error = damaged(QString::fromUtf8(zip_error_strerror(&zerror)));
        if (source)
            zip_source_free(source);
        zip_error_fini(&zerror);
        return std::nullopt;
    }
    zip_error_fini(&zerror);
    const zip_int64_t entries = zip_get_num_entries(archive.get(), 0);
    if (entries > kMaxEntries) {
        *error = damaged(ProjectTexts::tr("it holds %1 entries").arg(entries));
        return std::nullopt;
    }
    zip_int64_t json = -1, picture = -1, mime = -1;
    for (zip_int64_t i = 0; i < entries; ++i) {
        const char *raw = zip_get_name(archive.get(), zip_uint64_t(i), ZIP_FL_ENC_GUESS);
        const QString name = raw ? QString::fromUtf8(raw) : QString();
        if (unsafeName(name)) {
            *error = damaged(ProjectTexts::tr("it holds an entry named outside the project (\"%1\")").arg(name));
            return std::nullopt;
        }
        if (name == QLatin1String("mimetype"))
            mime = i;
        else if (name == QLatin1String(kJsonName))
            json = i;
        else if (name == QLatin1String(kPictureName))
            picture = i;
    }
    if (mime < 0 || json < 0 || picture < 0) {
        *error = damaged(ProjectTexts::tr("\"mimetype\", \"project.json\" or \"picture.png\" is missing"));
        return std::nullopt;
    }
    const auto type = readEntry(archive.get(), zip_uint64_t(mime), 256, error);
    if (!type)
        return std::nullopt;
    if (type->trimmed() != kMimeType) {
        *error = damaged(ProjectTexts::tr("its type is \"%1\"").arg(QString::fromUtf8(type->left(80))));
        return std::nullopt;
    }
    const auto description = readEntry(archive.get(), zip_uint64_t(json), kMaxJsonBytes, error);
    if (!description)
        return std::nullopt;
    QString why;
    bool newer = false;
    std::optional<Project> project = parseProjectJson(*description, &why, &newer);
    if (!project) {
        *error = newer ? ProjectTexts::tr("The project cannot be opened: %1.").arg(why) : damaged(why);
        return std::nullopt;
    }
    if (!withPicture)
        return project;
    const auto png = readEntry(archive.get(), zip_uint64_t(picture), kMaxPictureBytes, error);
    if (!png)
        return std::nullopt;
    // A picture other than described is not decoded at all: it might be a huge one.
    const QSize announced = announcedSize(png->left(32));
    if (announced.isValid() && announced != project->pictureSize) {
        *error = damaged(ProjectTexts::tr("its picture is not of the size its description says"));
        return std::nullopt;
    }
    QBuffer buffer;
    buffer.setData(*png);
    buffer.open(QIODevice::ReadOnly);
    LoadedPicture loaded = loadRasterPicture(buffer);
    if (loaded.status != LoadStatus::Loaded) {
        *error = damaged(ProjectTexts::tr("its picture cannot be read: %1").arg(loaded.error));
        return std::nullopt;
    }
    if (loaded.image.size() != project->pictureSize) {
        *error = damaged(ProjectTexts::tr("its picture is not of the size its description says"));
        return std::nullopt;
    }
    project->picture = std::move(loaded.image);
    return project;
}

std::optional<Project> readProject(const QString &path, QString *error, bool withPicture)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = ProjectTexts::tr("The project cannot be read: %1.").arg(file.errorString());
        return std::nullopt;
    }
    if (file.size() > kMaxFileBytes) {
        *error = damaged(ProjectTexts::tr("it is larger than any project"));
        return std::nullopt;
    }
    return readProjectBytes(file.readAll(), error, withPicture);
}

} // namespace chartrek
