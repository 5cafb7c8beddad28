// The skin's SVG sources as templates: a file's text with the shared definitions put in place
// of its "<!--@defs-->" marker and every "{{name}}" replaced by the value given for it.
#pragma once

#include <map>
#include <string>

namespace skin {

using Variables = std::map<std::string, std::string>;

class SvgTemplates {
  public:
    // Reads the shared definitions from `folder`/defs.svg.
    explicit SvgTemplates(std::string folder);

    // The source `name` ready to rasterise. Throws when a file is missing or a variable has no
    // value, so that a broken skin never builds.
    std::string Render(const std::string& name, const Variables& variables) const;

    // The part of `name` between its "<!--@frame-->" and "<!--/@frame-->" markers, with the
    // variables replaced: one frame of a strip, to be placed inside a strip's own document.
    std::string Frame(const std::string& name, const Variables& variables) const;

    // The shared definitions, a "<defs>" element.
    const std::string& Defs() const { return defs_; }

  private:
    std::string Read(const std::string& name) const;

    std::string folder_;
    std::string defs_;
};

// `text` with every "{{name}}" replaced; throws on a name that `variables` lacks.
std::string Substitute(const std::string& text, const Variables& variables);

}  // namespace skin
