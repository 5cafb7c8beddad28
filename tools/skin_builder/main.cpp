// skin_builder: draws the skin from its SVG sources and packs the 23 members into the archive.
//   skin_builder --skin DIR --output FILE [--work DIR] [--converter PROGRAM] [--png DIR]
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "archive_writer.h"
#include "rgb_image.h"
#include "skin_recipe.h"
#include "svg_template.h"

namespace {

namespace fs = std::filesystem;
using namespace skin;

constexpr char kUsage[] =
    "usage: skin_builder --skin DIR --output FILE [--work DIR] [--converter PROGRAM] [--png DIR]\n"
    "  Draws the skin's members from the SVG sources in DIR and writes the skin archive FILE.\n"
    "  --work DIR         where the drawn sources go (default: FILE's folder/skin-work)\n"
    "  --converter PROG   the SVG rasteriser (default: rsvg-convert)\n"
    "  --png DIR          also write every member as NN-purpose.png in DIR, to look at\n";

struct Options {
    std::string skin, output, work, converter = "rsvg-convert", png;
};

Options ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            std::exit(0);
        }
        if (i + 1 >= argc) throw std::runtime_error("missing value after " + arg);
        const std::string value = argv[++i];
        if (arg == "--skin")
            options.skin = value;
        else if (arg == "--output")
            options.output = value;
        else if (arg == "--work")
            options.work = value;
        else if (arg == "--converter")
            options.converter = value;
        else if (arg == "--png")
            options.png = value;
        else
            throw std::runtime_error("unknown option " + arg);
    }
    if (options.skin.empty() || options.output.empty()) {
        throw std::runtime_error("--skin and --output are required");
    }
    if (options.work.empty()) {
        options.work = (fs::path(options.output).parent_path() / "skin-work").string();
    }
    return options;
}

std::string FileStem(int number, const char* purpose) {
    char stem[64];
    std::snprintf(stem, sizeof stem, "%02d-%s", number, purpose);
    for (char* c = stem; *c; ++c) {
        if (*c == ' ') *c = '-';
    }
    return stem;
}

std::string StripDocument(const SvgTemplates& templates, const MemberRecipe& recipe) {
    const int width = recipe.cut.width;
    const int height = recipe.cut.height;
    std::string svg =
        "<svg xmlns=\"http://www.w3.org/2000/svg\" "
        "xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\"" +
        std::to_string(width) + "\" height=\"" + std::to_string(height * recipe.frames) + "\">\n" +
        templates.Defs() + "\n";
    for (int frame = 0; frame < recipe.frames; ++frame) {
        // A nested document clips each frame to its own rectangle.
        svg += "<svg x=\"0\" y=\"" + std::to_string(frame * height) + "\" width=\"" +
               std::to_string(width) + "\" height=\"" + std::to_string(height) + "\">" +
               templates.Frame(recipe.source, recipe.frameVariables(frame)) + "</svg>\n";
    }
    return svg + "</svg>\n";
}

RgbImage DrawMember(const SvgTemplates& templates, const MemberRecipe& recipe,
                    const Options& options, const std::string& stem) {
    const std::string work = (fs::path(options.work) / stem).string();
    if (recipe.frames > 1) {
        RgbImage strip = Rasterise(options.converter, StripDocument(templates, recipe), work);
        if (strip.width != recipe.cut.width || strip.height != recipe.cut.height * recipe.frames) {
            throw std::runtime_error(std::string(recipe.purpose) + ": the strip came out " +
                                     std::to_string(strip.width) + " x " +
                                     std::to_string(strip.height));
        }
        return strip;
    }
    Variables variables = SourceDefaults(recipe.source);
    for (const auto& [name, value] : recipe.variables)
        variables[name] = value;
    RgbImage drawn = Rasterise(options.converter, templates.Render(recipe.source, variables), work);
    const Rect& cut = recipe.cut;
    if (cut.x == 0 && cut.y == 0 && (drawn.width != cut.width || drawn.height != cut.height)) {
        throw std::runtime_error(std::string(recipe.source) + " is " + std::to_string(drawn.width) +
                                 " x " + std::to_string(drawn.height) + ", the " + recipe.purpose +
                                 " must be " + std::to_string(cut.width) + " x " +
                                 std::to_string(cut.height));
    }
    return drawn.Crop(cut.x, cut.y, cut.width, cut.height);
}

void WritePng(const RgbImage& image, const std::string& path) {
    png_image out{};
    out.version = PNG_IMAGE_VERSION;
    out.width = png_uint_32(image.width);
    out.height = png_uint_32(image.height);
    out.format = PNG_FORMAT_RGB;
    if (!png_image_write_to_file(&out, path.c_str(), 0, image.rgb.data(), 0, nullptr)) {
        throw std::runtime_error("cannot write " + path);
    }
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const Options options = ParseOptions(argc, argv);
        fs::create_directories(options.work);
        if (!options.png.empty()) fs::create_directories(options.png);
        const SvgTemplates templates(options.skin);
        std::vector<uint8_t> archive;
        int number = 0;
        for (const MemberRecipe& recipe : SkinRecipe()) {
            const std::string stem = FileStem(++number, recipe.purpose);
            const RgbImage member = DrawMember(templates, recipe, options, stem);
            AppendMember(archive, member);
            if (!options.png.empty()) WritePng(member, options.png + "/" + stem + ".png");
        }
        // Written whole under another name first, so that a failed build leaves no half archive.
        const std::string partial = options.output + ".partial";
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(archive.data()), std::streamsize(archive.size()));
        out.close();
        if (!out) throw std::runtime_error("cannot write " + partial);
        fs::rename(partial, options.output);
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "skin_builder: %s\n", error.what());
        return 1;
    }
}
