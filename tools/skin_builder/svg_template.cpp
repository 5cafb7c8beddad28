#include "svg_template.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace skin {
namespace {

constexpr char kDefsMarker[] = "<!--@defs-->";
constexpr char kFrameBegin[] = "<!--@frame-->";
constexpr char kFrameEnd[] = "<!--/@frame-->";

std::string Between(const std::string& text, const std::string& begin, const std::string& end,
                    const std::string& what) {
    const std::size_t from = text.find(begin);
    const std::size_t to = from == std::string::npos ? from : text.find(end, from);
    if (to == std::string::npos) throw std::runtime_error(what + ": no " + begin + " ... " + end);
    return text.substr(from, to + end.size() - from);
}

}  // namespace

std::string Substitute(const std::string& text, const Variables& variables) {
    std::string out;
    std::size_t at = 0;
    while (true) {
        const std::size_t open = text.find("{{", at);
        if (open == std::string::npos) break;
        const std::size_t close = text.find("}}", open);
        if (close == std::string::npos) throw std::runtime_error("unclosed {{ in a template");
        const std::string name = text.substr(open + 2, close - open - 2);
        const auto value = variables.find(name);
        if (value == variables.end()) throw std::runtime_error("no value for {{" + name + "}}");
        out.append(text, at, open - at).append(value->second);
        at = close + 2;
    }
    return out.append(text, at);
}

SvgTemplates::SvgTemplates(std::string folder) : folder_(std::move(folder)) {
    defs_ = Between(Read("defs.svg"), "<defs>", "</defs>", "defs.svg");
}

std::string SvgTemplates::Read(const std::string& name) const {
    std::ifstream in(folder_ + "/" + name, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + folder_ + "/" + name);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string SvgTemplates::Render(const std::string& name, const Variables& variables) const {
    std::string text = Read(name);
    const std::size_t marker = text.find(kDefsMarker);
    if (marker != std::string::npos) text.replace(marker, sizeof kDefsMarker - 1, defs_);
    return Substitute(text, variables);
}

std::string SvgTemplates::Frame(const std::string& name, const Variables& variables) const {
    return Substitute(Between(Read(name), kFrameBegin, kFrameEnd, name), variables);
}

}  // namespace skin
