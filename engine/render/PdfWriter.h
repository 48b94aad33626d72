#pragma once

#include "engine/render/Canvas.h"
#include "engine/core/Geometry.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace quillfen {

// The boxes of one PDF page in PDF user space (points, origin at the lower left).
struct PdfPageBoxes {
    Rect media;
    std::optional<Rect> bleed;
    std::optional<Rect> trim;

    bool operator==(const PdfPageBoxes&) const = default;
};

// Writes a PDF file page by page. The pages go to a temporary file beside the destination; finish()
// sets each page's boxes, keeps only Title and Creator ("Quillfen") in the document information and
// puts the file into place; equal books give equal files, their identifier derived from what they hold.
// Any failure leaves no partial file and the destination unchanged; where the file system has unnamed
// files (Linux's O_TMPFILE), so does a process killed on the way.
// One writer per file, used on one thread.
class PdfWriter {
public:
    PdfWriter(std::filesystem::path destination, std::string title);
    ~PdfWriter();  // abandons an unfinished file
    PdfWriter(const PdfWriter&) = delete;
    PdfWriter& operator=(const PdfWriter&) = delete;

    // False when the temporary file could not be made or writing has failed.
    bool isOpen() const;
    // Begins a page; its canvas draws in PDF user space, one unit a point. Nothing when the writer
    // has failed. The canvas lives until endPage().
    Canvas* beginPage(const PdfPageBoxes& boxes);
    void endPage();
    // Completes the file and puts it in place; true only when the whole file is there.
    bool finish();

    struct Impl;

private:
    std::unique_ptr<Impl> m;
};

}  // namespace quillfen
