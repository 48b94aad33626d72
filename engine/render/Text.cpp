#include "engine/render/Text.h"

#include "engine/render/TextRendering.h"

#include <fontconfig/fontconfig.h>
#include <pango/pangocairo.h>
#include <pango/pangofc-fontmap.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>

namespace quillfen {

namespace {

// The page fonts by the PostScript names the pages use, and the Debian files that stand in for them.
struct FontEntry {
    const char* postScriptName;
    const char* file;
    const char* family;
    PangoWeight weight;
    PangoStyle style;
};

constexpr FontEntry fontTable[] = {
    {"Noteworthy-Bold", "/usr/share/fonts/opentype/comic-neue/ComicNeue-Bold.otf", "Comic Neue",
     PANGO_WEIGHT_BOLD, PANGO_STYLE_NORMAL},
    {"Noteworthy-Light", "/usr/share/fonts/opentype/comic-neue/ComicNeue-Light.otf", "Comic Neue",
     PANGO_WEIGHT_LIGHT, PANGO_STYLE_NORMAL},
    {"Georgia", "/usr/share/fonts/truetype/noto/NotoSerif-Regular.ttf", "Noto Serif", PANGO_WEIGHT_NORMAL,
     PANGO_STYLE_NORMAL},
    {"Georgia-Italic", "/usr/share/fonts/truetype/noto/NotoSerif-Italic.ttf", "Noto Serif",
     PANGO_WEIGHT_NORMAL, PANGO_STYLE_ITALIC},
    {"Georgia-BoldItalic", "/usr/share/fonts/truetype/noto/NotoSerif-BoldItalic.ttf", "Noto Serif",
     PANGO_WEIGHT_BOLD, PANGO_STYLE_ITALIC},
    {"AvenirNext-Regular", "/usr/share/fonts/truetype/lato/Lato-Regular.ttf", "Lato", PANGO_WEIGHT_NORMAL,
     PANGO_STYLE_NORMAL},
    {"AvenirNext-DemiBold", "/usr/share/fonts/truetype/lato/Lato-Semibold.ttf", "Lato", PANGO_WEIGHT_SEMIBOLD,
     PANGO_STYLE_NORMAL},
    {"AvenirNext-Heavy", "/usr/share/fonts/truetype/lato/Lato-Heavy.ttf", "Lato", PANGO_WEIGHT_ULTRABOLD,
     PANGO_STYLE_NORMAL},
};

// The system's font configuration with the page fonts added: a page font matches its own name first, so
// text in it is set alike on every machine, and characters it lacks fall back to the system's fonts.
FcConfig* engineFontConfig() {
    static FcConfig* const config = [] {
        FcConfig* config = FcInitLoadConfigAndFonts();
        for (const auto& entry : fontTable) {
            FcConfigAppFontAddFile(config, reinterpret_cast<const FcChar8*>(entry.file));
        }
        return config;
    }();
    return config;
}

// Pins a pattern that asks for a page font to that font's own file, so that another copy of the family
// installed on the system (of another version) never takes its place.
void pinPageFontFile(FcPattern* pattern, gpointer) {
    FcChar8* family = nullptr;
    double weight = 0;
    int slant = 0;
    if (FcPatternGetString(pattern, FC_FAMILY, 0, &family) != FcResultMatch ||
        FcPatternGetDouble(pattern, FC_WEIGHT, 0, &weight) != FcResultMatch ||
        FcPatternGetInteger(pattern, FC_SLANT, 0, &slant) != FcResultMatch) {
        return;
    }
    for (const auto& entry : fontTable) {
        const int entrySlant = entry.style == PANGO_STYLE_NORMAL ? FC_SLANT_ROMAN : FC_SLANT_ITALIC;
        if (std::string_view(reinterpret_cast<const char*>(family)) == entry.family &&
            weight == FcWeightFromOpenTypeDouble(entry.weight) && slant == entrySlant) {
            FcPatternDel(pattern, FC_FILE);
            FcPatternAddString(pattern, FC_FILE, reinterpret_cast<const FcChar8*>(entry.file));
            return;
        }
    }
}

// No page shows more characters than this; longer texts are cut before shaping, whose cost grows with
// the square of a line's length where nothing allows a break.
constexpr std::int32_t maximumCharacters = 4000;

// The text as pango and cairo can take it: valid UTF-8 without NUL (each ill-formed sequence and each
// NUL becomes U+FFFD), cut after `maximumCharacters` code points.
std::string settable(std::string_view text) {
    std::string out;
    out.reserve(std::min<std::size_t>(text.size(), 4 * maximumCharacters));
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    const auto length = static_cast<std::int64_t>(text.size());
    std::int64_t i = 0;
    for (std::int32_t count = 0; i < length && count < maximumCharacters; ++count) {
        UChar32 c;
        U8_NEXT(bytes, i, length, c);
        if (c <= 0) c = 0xFFFD;
        char encoded[U8_MAX_LENGTH];
        std::int32_t size = 0;
        U8_APPEND_UNSAFE(encoded, size, c);
        out.append(encoded, static_cast<std::size_t>(size));
    }
    return out;
}

// Pango font maps and contexts belong to one thread; each thread gets its own over the shared
// configuration.
class ThreadText {
public:
    ThreadText() {
        m_fontMap = pango_cairo_font_map_new_for_font_type(CAIRO_FONT_TYPE_FT);
        if (!m_fontMap) m_fontMap = pango_cairo_font_map_new();
        if (PANGO_IS_FC_FONT_MAP(m_fontMap)) {
            pango_fc_font_map_set_config(PANGO_FC_FONT_MAP(m_fontMap), engineFontConfig());
            pango_fc_font_map_set_default_substitute(PANGO_FC_FONT_MAP(m_fontMap), pinPageFontFile, nullptr,
                                                     nullptr);
        }
        m_context = pango_font_map_create_context(m_fontMap);
        cairo_font_options_t* options = cairo_font_options_create();
        cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
        cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
        cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
        pango_cairo_context_set_font_options(m_context, options);
        cairo_font_options_destroy(options);
        pango_cairo_context_set_resolution(m_context, 72);
        pango_context_set_round_glyph_positions(m_context, FALSE);
        pango_context_set_language(m_context, pango_language_from_string("en"));
    }
    ~ThreadText() {
        g_object_unref(m_context);
        g_object_unref(m_fontMap);
    }
    ThreadText(const ThreadText&) = delete;
    ThreadText& operator=(const ThreadText&) = delete;

    PangoContext* context() const { return m_context; }

private:
    PangoFontMap* m_fontMap = nullptr;
    PangoContext* m_context = nullptr;
};

PangoContext* threadContext() {
    thread_local ThreadText text;
    return text.context();
}

struct DescriptionDeleter {
    void operator()(PangoFontDescription* d) const { pango_font_description_free(d); }
};
using Description = std::unique_ptr<PangoFontDescription, DescriptionDeleter>;

Description describe(const std::string& name, double size) {
    Description description(pango_font_description_new());
    const auto entry = std::find_if(std::begin(fontTable), std::end(fontTable),
                                    [&](const FontEntry& e) { return name == e.postScriptName; });
    if (entry != std::end(fontTable)) {
        pango_font_description_set_family(description.get(), entry->family);
        pango_font_description_set_weight(description.get(), entry->weight);
        pango_font_description_set_style(description.get(), entry->style);
    } else {
        pango_font_description_set_family(description.get(), name.c_str());
    }
    const double points = std::isfinite(size) && size > 0 ? size : 1;
    pango_font_description_set_absolute_size(description.get(), points * PANGO_SCALE);
    return description;
}

struct LayoutDeleter {
    void operator()(PangoLayout* layout) const { g_object_unref(layout); }
};
using Layout = std::unique_ptr<PangoLayout, LayoutDeleter>;

Layout singleLine(std::string_view text, const Font& font) {
    Layout layout(pango_layout_new(threadContext()));
    const auto description = describe(font.name, font.size);
    pango_layout_set_font_description(layout.get(), description.get());
    pango_layout_set_single_paragraph_mode(layout.get(), TRUE);
    const std::string settableText = settable(text);
    pango_layout_set_text(layout.get(), settableText.data(), static_cast<int>(settableText.size()));
    return layout;
}

Layout wrapped(std::string_view text, const Font& font, double width) {
    Layout layout(pango_layout_new(threadContext()));
    const auto description = describe(font.name, font.size);
    pango_layout_set_font_description(layout.get(), description.get());
    pango_layout_set_wrap(layout.get(), PANGO_WRAP_WORD_CHAR);
    pango_layout_set_alignment(layout.get(), PANGO_ALIGN_CENTER);
    pango_layout_set_width(layout.get(), std::max(1, static_cast<int>(std::floor(width * PANGO_SCALE))));
    const std::string settableText = settable(text);
    pango_layout_set_text(layout.get(), settableText.data(), static_cast<int>(settableText.size()));
    return layout;
}

double toPoints(int units) {
    return static_cast<double>(units) / PANGO_SCALE;
}

void setColor(cairo_t* cr, Color color) {
    cairo_set_source_rgba(cr, color.red, color.green, color.blue, color.alpha);
}

// Shows one laid-out line with its baseline origin at (x, baseline) in y-up user space.
void showLine(cairo_t* cr, PangoLayoutLine* line, double x, double baseline) {
    cairo_save(cr);
    cairo_translate(cr, x, baseline);
    cairo_scale(cr, 1, -1);
    cairo_move_to(cr, 0, 0);
    pango_cairo_show_layout_line(cr, line);
    cairo_restore(cr);
}

}  // namespace

double Text::lineWidth(std::string_view text, const Font& font) {
    PangoRectangle logical;
    pango_layout_get_extents(singleLine(text, font).get(), nullptr, &logical);
    return toPoints(logical.width);
}

Size Text::suggestedFrameSize(std::string_view text, const Font& font, double width) {
    PangoRectangle logical;
    pango_layout_get_extents(wrapped(text, font, width).get(), nullptr, &logical);
    return {std::min(toPoints(logical.width), width), toPoints(logical.height)};
}

double Text::fittedSize(std::string_view text, const std::string& fontName, double size, const Rect& box) {
    double height = suggestedFrameSize(text, {fontName, size}, box.width()).height;
    while (height > box.height() && size > 8) {
        size *= 0.9;
        height = suggestedFrameSize(text, {fontName, size}, box.width()).height;
    }
    return size;
}

double TextRendering::drawLine(cairo_t* cr, std::string_view text, const Font& font, Color color,
                               TextAlignment alignment, Point anchor, double maxWidth) {
    if (text.empty() || !(maxWidth > 0) || !std::isfinite(anchor.x) || !std::isfinite(anchor.y)) return 0;
    auto layout = singleLine(text, font);
    PangoRectangle logical;
    pango_layout_get_extents(layout.get(), nullptr, &logical);
    double width = toPoints(logical.width);
    if (width > maxWidth) {
        pango_layout_set_width(layout.get(), static_cast<int>(std::floor(maxWidth * PANGO_SCALE)));
        pango_layout_set_ellipsize(layout.get(), PANGO_ELLIPSIZE_END);
        // Shortened, the line is drawn even when the "…" alone is wider than maxWidth; a line pango
        // could not shorten (one too long for its integer widths) is not drawn across the page.
        pango_layout_get_extents(layout.get(), nullptr, &logical);
        if (!pango_layout_is_ellipsized(layout.get()) &&
            toPoints(logical.x + logical.width) > maxWidth + 1e-6)
            return 0;
        width = maxWidth;
    }
    const double x = alignment == TextAlignment::center ? anchor.x - width / 2 : anchor.x;
    cairo_save(cr);
    setColor(cr, color);
    showLine(cr, pango_layout_get_line_readonly(layout.get(), 0), x, anchor.y);
    cairo_restore(cr);
    return width;
}

void TextRendering::drawFrame(cairo_t* cr, std::string_view text, const Font& font, Color color,
                              const Rect& frame) {
    if (text.empty() || frame.isEmpty() || !std::isfinite(frame.minX()) || !std::isfinite(frame.maxY()))
        return;
    auto layout = wrapped(text, font, frame.width());
    const int limit = static_cast<int>(std::ceil(frame.height() * PANGO_SCALE));
    cairo_save(cr);
    cairo_new_path(cr);
    cairo_rectangle(cr, frame.minX(), frame.minY(), frame.width(), frame.height());
    cairo_clip(cr);
    setColor(cr, color);
    PangoLayoutIter* iter = pango_layout_get_iter(layout.get());
    do {
        PangoRectangle logical;
        pango_layout_iter_get_line_extents(iter, nullptr, &logical);
        if (logical.y + logical.height > limit) break;
        const double baseline = toPoints(pango_layout_iter_get_baseline(iter));
        showLine(cr, pango_layout_iter_get_line_readonly(iter), frame.minX() + toPoints(logical.x),
                 frame.maxY() - baseline);
    } while (pango_layout_iter_next_line(iter));
    pango_layout_iter_free(iter);
    cairo_restore(cr);
}

}  // namespace quillfen
