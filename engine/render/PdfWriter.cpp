#include "engine/render/PdfWriter.h"

#include "engine/render/CanvasImpl.h"

#include <cairo-pdf.h>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <fcntl.h>
#include <unistd.h>

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
            fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            return fd >= 0;
        });
        if (created.empty()) return nullptr;
    }
    FILE* file = ::fdopen(fd, "wb");
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

    static cairo_status_t write(void* closure, const unsigned char* data, unsigned int length) {
        auto* self = static_cast<Impl*>(closure);
        if (std::fwrite(data, 1, length, self->file) != length) {
            self->failed = true;
            return CAIRO_STATUS_WRITE_ERROR;
        }
        return CAIRO_STATUS_SUCCESS;
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
        try {
            QPDF pdf;
            pdf.setSuppressWarnings(true);
            pdf.processFile(pagesFile.c_str());
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
            QPDFObjectHandle info = QPDFObjectHandle::newDictionary();
            info.replaceKey("/Title", QPDFObjectHandle::newUnicodeString(title));
            info.replaceKey("/Creator", QPDFObjectHandle::newUnicodeString("Quillfen"));
            pdf.getTrailer().replaceKey("/Info", pdf.makeIndirectObject(info));
            pdf.getRoot().removeKey("/Metadata");
            QPDFWriter writer(pdf);
            writer.setOutputFile(finalFile.c_str(), out, false);
            writer.setStreamDataMode(qpdf_s_preserve);
            writer.setDeterministicID(true);
            writer.write();
            ok = true;
        } catch (const std::exception&) {
            ok = false;
        }
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
    if (cairo_surface_status(m->surface) != CAIRO_STATUS_SUCCESS) m->abandon();
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
    m->canvas.emplace(Canvas(std::make_unique<Canvas::Impl>(cr, height, false, pdfShadowResolution)));
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
