#include "engine/render/PdfWriter.h"

#include "engine/core/ContentHash.h"
#include "engine/render/CanvasImpl.h"
#include "engine/render/FileWindowInput.h"

#include <cairo-pdf.h>
#include <qpdf/Pipeline.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>
#include <qpdf/QUtil.hh>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <random>
#include <stdexcept>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace quillfen {

namespace {

// Shadows on PDF pages are rasterised at two pixels per point.
constexpr double pdfShadowResolution = 2;

// A hidden name beside the destination that no file has yet, or empty.
template <typename Take>
fs::path freeNameBeside(const fs::path& destination, Take take) {
    std::random_device random;
    for (int attempt = 0; attempt < 16; ++attempt) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, ".%08x.tmp", static_cast<unsigned>(random()));
        fs::path candidate = destination.parent_path() / ("." + destination.filename().string() + suffix);
        if (take(candidate)) return candidate;
        if (errno != EEXIST) break;
    }
    return {};
}

// A new file beside the destination, opened for writing with the usual permissions. Where the file
// system allows, the file has no name until nameFile() gives it one, so that a process killed on the
// way leaves nothing behind; `created` is then the path of its descriptor and `unnamed` is set.
FILE* createBeside(const fs::path& destination, fs::path& created, bool& unnamed) {
    const fs::path folder = destination.parent_path().empty() ? fs::path(".") : destination.parent_path();
    int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
    unnamed = fd >= 0;
    if (unnamed) {
        created = "/proc/self/fd/" + std::to_string(fd);
    } else {
        created = freeNameBeside(destination, [&fd](const fs::path& candidate) {
            fd = ::open(candidate.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            return fd >= 0;
        });
        if (created.empty()) return nullptr;
    }
    FILE* file = ::fdopen(fd, "w+b");
    if (!file) {
        ::close(fd);
        if (!unnamed) ::unlink(created.c_str());
    }
    return file;
}

// Puts the unnamed file at `descriptor` in place: linked as the destination when that name is free,
// else linked beside it and renamed over it.
bool nameFile(const fs::path& descriptor, const fs::path& destination) {
    const auto link = [&](const fs::path& name) {
        return ::linkat(AT_FDCWD, descriptor.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0;
    };
    if (link(destination)) return true;
    if (errno != EEXIST) return false;
    const fs::path beside = freeNameBeside(destination, link);
    if (beside.empty()) return false;
    std::error_code error;
    fs::rename(beside, destination, error);
    if (error) fs::remove(beside, error);
    return !error;
}

// Flushes, syncing to disk too when `durable`; false when any of it failed. Only the finished file
// needs to survive a crash: the intermediate one is read back and removed at once.
bool flushFile(FILE* file, bool durable) {
    const bool ok = std::fflush(file) == 0 && !std::ferror(file);
    return (!durable || ::fsync(::fileno(file)) == 0) && ok;
}

bool closeFile(FILE* file, bool durable) {
    const bool ok = flushFile(file, durable);
    return std::fclose(file) == 0 && ok;
}

void removeQuietly(const fs::path& path) {
    if (path.empty()) return;
    std::error_code ignored;
    fs::remove(path, ignored);
}

QPDFObjectHandle boxArray(const Rect& rect) {
    const Rect r = rect.standardized();
    return QPDFObjectHandle::newArray(QPDFObjectHandle::Rectangle(r.minX(), r.minY(), r.maxX(), r.maxY()));
}

void setBox(QPDFObjectHandle page, const char* key, const std::optional<Rect>& rect) {
    if (rect) {
        page.replaceKey(key, boxArray(*rect));
    } else {
        page.removeKey(key);
    }
}

void addBox(ContentHash& hash, const std::optional<Rect>& rect) {
    if (!rect) return void(hash.add("-"));
    hash.add(rect->origin.x).add(rect->origin.y).add(rect->size.width).add(rect->size.height);
}

// The document information holding only `title` and the creator, in cairo's own information object
// when there is one (a new indirect object would make qpdf resolve every object of the file).
void setInformation(QPDF& pdf, const std::string& title) {
    QPDFObjectHandle info = pdf.getTrailer().getKey("/Info");
    if (info.isDictionary() && info.isIndirect()) {
        for (const auto& key : info.getKeys()) info.removeKey(key);
    } else {
        info = pdf.makeIndirectObject(QPDFObjectHandle::newDictionary());
        pdf.getTrailer().replaceKey("/Info", info);
    }
    info.replaceKey("/Title", QPDFObjectHandle::newUnicodeString(title));
    info.replaceKey("/Creator", QPDFObjectHandle::newUnicodeString("Quillfen"));
}

// qpdf's output into a file, handed to the disk in pieces as it is written, so that the sync at the
// end waits for the last piece only and not for the whole file.
class WritebackOutput : public Pipeline {
public:
    explicit WritebackOutput(FILE* file) : Pipeline("final file", nullptr), m_file(file) {}

    void write(const unsigned char* data, std::size_t length) override {
        if (std::fwrite(data, 1, length, m_file) != length) throw std::runtime_error("write");
        m_written += static_cast<off_t>(length);
        if (m_written - m_handed < piece) return;
        if (std::fflush(m_file) != 0) throw std::runtime_error("write");
        ::sync_file_range(::fileno(m_file), m_handed, m_written - m_handed, SYNC_FILE_RANGE_WRITE);
        m_handed = m_written;
    }
    void finish() override {}

private:
    static constexpr off_t piece = 8 << 20;
    FILE* m_file;
    off_t m_written = 0;
    off_t m_handed = 0;
};

// qpdf keeps the first of the two identifiers it finds in the trailer and makes up the second from the
// time; a new file's two identifiers are equal, and equal books must give equal bytes. So the second is
// written over with the first in the file's last bytes, where the trailer is. False when it is not
// found there or cannot be written.
bool repeatIdentifier(FILE* file, const std::string& identifier) {
    if (std::fflush(file) != 0) return false;
    const int fd = ::fileno(file);
    const off_t size = ::lseek(fd, 0, SEEK_END);
    std::string tail(static_cast<std::size_t>(std::min<off_t>(size, 1024)), '\0');
    const off_t start = size - static_cast<off_t>(tail.size());
    if (size < 0 || ::pread(fd, tail.data(), tail.size(), start) != static_cast<ssize_t>(tail.size()))
        return false;
    const std::string first = "<" + identifier + "><";
    const std::size_t at = tail.rfind(first);
    if (at == std::string::npos || at + first.size() + identifier.size() > tail.size()) return false;
    const off_t second = start + static_cast<off_t>(at + first.size());
    return ::pwrite(fd, identifier.data(), identifier.size(), second) ==
           static_cast<ssize_t>(identifier.size());
}

}  // namespace

struct PdfWriter::Impl {
    fs::path destination;
    std::string title;
    fs::path pagesFile;  // cairo's output
    bool pagesUnnamed = false;  // it vanishes when closed
    FILE* file = nullptr;
    bool failed = false;
    cairo_surface_t* surface = nullptr;
    std::optional<Canvas> canvas;
    std::vector<PdfPageBoxes> pages;
    PdfPageBoxes current;
    ContentHash written;  // of cairo's output, as it is written
    ShadowMasks shadowMasks;  // shared by the pages' canvases

    static cairo_status_t write(void* closure, const unsigned char* data, unsigned int length) {
        auto* self = static_cast<Impl*>(closure);
        if (std::fwrite(data, 1, length, self->file) != length) {
            self->failed = true;
            return CAIRO_STATUS_WRITE_ERROR;
        }
        self->written.add(data, length);
        return CAIRO_STATUS_SUCCESS;
    }

    // The file's identifier, derived from all it holds: cairo's pages, their boxes and the title.
    std::string identifier() const {
        ContentHash hash = written;
        hash.add(title);
        for (const auto& page : pages) {
            addBox(hash, page.media);
            addBox(hash, page.bleed);
            addBox(hash, page.trim);
        }
        return hash.hex();
    }

    void abandon() {
        canvas.reset();
        if (surface) {
            cairo_surface_finish(surface);
            cairo_surface_destroy(surface);
            surface = nullptr;
        }
        if (file) {
            std::fclose(file);
            file = nullptr;
        }
        if (!pagesUnnamed) removeQuietly(pagesFile);
        pagesFile.clear();
        failed = true;
    }

    // The boxes pass: writes the final file beside the destination and renames it into place.
    bool completeInto() {
        fs::path finalFile;
        bool unnamed = false;
        FILE* out = createBeside(destination, finalFile, unnamed);
        if (!out) return false;
        bool ok = false;
        const int pagesDescriptor = ::open(pagesFile.c_str(), O_RDONLY | O_CLOEXEC);
        try {
            QPDF pdf;
            pdf.setSuppressWarnings(true);
            if (pagesDescriptor < 0) throw std::runtime_error("read back");
            pdf.processInputSource(std::make_shared<FileWindowInput>(pagesDescriptor, pagesFile.string()));
            QPDFPageDocumentHelper document(pdf);
            auto all = document.getAllPages();
            if (pages.empty()) {
                for (auto& page : all) document.removePage(page);
            } else {
                if (all.size() != pages.size()) throw std::runtime_error("page count");
                for (std::size_t i = 0; i < pages.size(); ++i) {
                    QPDFObjectHandle page = all[i].getObjectHandle();
                    page.replaceKey("/MediaBox", boxArray(pages[i].media));
                    setBox(page, "/BleedBox", pages[i].bleed);
                    setBox(page, "/TrimBox", pages[i].trim);
                }
            }
            setInformation(pdf, title);
            pdf.getRoot().removeKey("/Metadata");
            // The identifier comes from the content as it was written (qpdf's own deterministic one runs
            // MD5 over every byte it writes: a third of the whole export's time for a large book).
            const std::string id = identifier();
            const std::string binary = QUtil::hex_decode(id);
            pdf.getTrailer().replaceKey(
                "/ID", QPDFObjectHandle::newArray(
                           {QPDFObjectHandle::newString(binary), QPDFObjectHandle::newString(binary)}));
            WritebackOutput output(out);
            QPDFWriter writer(pdf);
            writer.setOutputPipeline(&output);
            writer.setStreamDataMode(qpdf_s_preserve);
            writer.write();
            ok = repeatIdentifier(out, id);
        } catch (const std::exception&) {
            ok = false;
        }
        if (pagesDescriptor >= 0) ::close(pagesDescriptor);
        if (unnamed) {
            ok = flushFile(out, true) && ok && nameFile(finalFile, destination);
            std::fclose(out);
            return ok;
        }
        ok = closeFile(out, true) && ok;
        std::error_code error;
        if (ok) fs::rename(finalFile, destination, error);
        if (!ok || error) {
            removeQuietly(finalFile);
            return false;
        }
        return true;
    }
};

PdfWriter::PdfWriter(fs::path destination, std::string title) : m(std::make_unique<Impl>()) {
    std::error_code error;
    if (fs::is_symlink(destination, error)) destination = fs::weakly_canonical(destination, error);
    m->destination = destination;
    m->title = std::move(title);
    // A device, folder or other non-file at the destination is never replaced.
    const auto status = fs::status(destination, error);
    if (destination.filename().empty() || (fs::exists(status) && !fs::is_regular_file(status))) {
        m->failed = true;
        return;
    }
    m->file = createBeside(destination, m->pagesFile, m->pagesUnnamed);
    if (!m->file) {
        m->failed = true;
        return;
    }
    m->surface = cairo_pdf_surface_create_for_stream(&Impl::write, m.get(), 612, 792);
    if (cairo_surface_status(m->surface) != CAIRO_STATUS_SUCCESS) {
        m->abandon();
        return;
    }
    // Undated: the identifier is derived from cairo's output, and equal books must give equal files.
    cairo_pdf_surface_set_metadata(m->surface, CAIRO_PDF_METADATA_CREATE_DATE, "");
}

PdfWriter::~PdfWriter() {
    if (m->surface || m->file) m->abandon();
}

bool PdfWriter::isOpen() const {
    return !m->failed && m->surface;
}

Canvas* PdfWriter::beginPage(const PdfPageBoxes& boxes) {
    if (!isOpen() || m->canvas) return nullptr;
    const double width = boxes.media.maxX(), height = boxes.media.maxY();
    if (!(width > 0 && height > 0 && std::isfinite(width) && std::isfinite(height))) {
        m->abandon();
        return nullptr;
    }
    cairo_pdf_surface_set_size(m->surface, width, height);
    cairo_t* cr = cairo_create(m->surface);
    auto canvas = std::make_unique<Canvas::Impl>(cr, height, false, pdfShadowResolution);
    canvas->shadowMasks = &m->shadowMasks;
    m->canvas.emplace(Canvas(std::move(canvas)));
    m->current = boxes;
    return &*m->canvas;
}

void PdfWriter::endPage() {
    if (!m->canvas) return;
    cairo_t* cr = m->canvas->m->cr;
    cairo_show_page(cr);
    const bool ok = cairo_status(cr) == CAIRO_STATUS_SUCCESS && !m->failed;
    m->canvas.reset();
    if (!ok) return m->abandon();
    m->pages.push_back(m->current);
}

bool PdfWriter::finish() {
    if (m->canvas) endPage();
    if (!isOpen()) {
        m->abandon();
        return false;
    }
    cairo_surface_finish(m->surface);
    const bool drawn = cairo_surface_status(m->surface) == CAIRO_STATUS_SUCCESS && !m->failed;
    cairo_surface_destroy(m->surface);
    m->surface = nullptr;
    FILE* file = m->file;
    m->file = nullptr;
    // An unnamed pages file lives only while it is open, so it is closed once it has been read back.
    const bool written = m->pagesUnnamed ? flushFile(file, false) : closeFile(file, false);
    const bool ok = drawn && written && m->completeInto();
    if (m->pagesUnnamed) {
        std::fclose(file);
    } else {
        removeQuietly(m->pagesFile);
    }
    m->pagesFile.clear();
    m->failed = true;  // the writer is spent either way
    return ok;
}

}  // namespace quillfen
