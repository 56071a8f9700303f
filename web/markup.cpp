// Writes the page's window, Form1, as HTML from the same layout table the Qt window is built
// from; runs on the build machine. Element ids are the control names, places and sizes
// are CSS pixels, and the focus order is the window's (tabindex is the tab index plus one,
// since HTML puts 0 after every positive index).

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

#include "calc/field_table.h"
#include "layout/layout.h"

namespace {

using layout::Control;
using layout::Kind;

std::string Escaped(std::string_view text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// ":/art/banner.raw" -> "banner": the assembler maps the name to the image files in art/.
std::string ImageName(std::string_view resource) {
  const std::size_t slash = resource.rfind('/');
  const std::size_t dot = resource.rfind('.');
  return std::string(resource.substr(slash + 1, dot - slash - 1));
}

// An input field's or a result label's heading and unit, from the calculation's tables;
// nullopt for every other control.
struct Heading {
  std::string_view heading;
  std::string_view unit;
};
std::optional<Heading> HeadingOf(const Control& c) {
  if (const calc::InputField* input = calc::InputFieldNamed(c.name)) {
    return Heading{input->heading, input->unit};
  }
  if (const calc::ResultField* result = calc::ResultFieldNamed(c.name)) {
    return Heading{result->heading, result->unit};
  }
  return std::nullopt;
}

// The spoken name: the layout's, or the heading, then the unit after a comma ("Gáz hatásfok,
// %").
std::string SpokenName(const Control& c) {
  const std::optional<Heading> heading = HeadingOf(c);
  if (!heading) return std::string(c.accessibleName);
  return std::string(heading->heading) + ", " + std::string(heading->unit);
}

// The layout's caption, or an input field's start-up text (an integer, written alike under
// every number format) or a result label's stored caption, its own name.
std::string StartText(const Control& c) {
  if (const calc::InputField* input = calc::InputFieldNamed(c.name)) {
    return std::to_string(input->startUpValue);
  }
  if (const calc::ResultField* result = calc::ResultFieldNamed(c.name)) {
    return std::string(result->name);
  }
  return std::string(c.text);
}

std::string Geometry(const Control& c) {
  char style[96];
  std::snprintf(style, sizeof style, "left:%dpx;top:%dpx;width:%dpx;height:%dpx",
                layout::TwipsToPixels(c.left), layout::TwipsToPixels(c.top),
                layout::TwipsToPixels(c.width) > 0 ? layout::TwipsToPixels(c.width) : 1,
                layout::TwipsToPixels(c.height) > 0 ? layout::TwipsToPixels(c.height) : 1);
  return style;
}

std::string Classes(const Control& c) {
  std::string classes = "c f" + std::to_string(calc::IndexOf(c.face));
  if (c.align == layout::Align::Centre) classes += " centre";
  if (c.align == layout::Align::LeftWrap) classes += " wrap";
  if (c.fill == layout::Fill::Panel) classes += " panel";
  if (c.ink == layout::Ink::FooterGrey) classes += " grey";
  if (c.ink == layout::Ink::FooterRed) classes += " red";
  if (c.sunkenFrame) classes += " sunken";
  return classes;
}

std::string TabIndex(const Control& c) {
  return c.tabIndex >= 0 ? " tabindex=\"" + std::to_string(c.tabIndex + 1) + "\"" : "";
}

// Fields and results: their heading and unit for the copied results table.
std::string TableColumns(const Control& c) {
  const std::optional<Heading> heading = HeadingOf(c);
  if (!heading) return "";
  return " data-heading=\"" + Escaped(heading->heading) + "\" data-unit=\"" +
         Escaped(heading->unit) + "\"";
}

// "&Számítás" -> "<u>S</u>zámítás", and the letter after "&" as the access key.
std::string Caption(std::string_view text, char& key) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) {
      key = text[i + 1];
      out += "<u>" + Escaped(text.substr(i + 1, 1)) + "</u>";
      ++i;
    } else {
      out += Escaped(text.substr(i, 1));
    }
  }
  return out;
}

void Write(std::string& html, std::string_view parent) {
  for (const Control& c : layout::kControls) {
    if (c.parent != parent) continue;
    const std::string id =
        c.index >= 0 ? std::string(c.name) + "_" + std::to_string(c.index) : std::string(c.name);
    const std::string common = "id=\"" + id + "\" class=\"" + Classes(c) + "\" style=\"" +
                               Geometry(c) + "\"" + TabIndex(c) + TableColumns(c);
    switch (c.kind) {
      case Kind::Picture: {
        // An image holding controls is a group to a screen reader: as an image its children
        // would go unheard.
        const bool image = !c.text.empty();
        const bool holds = std::ranges::any_of(
            layout::kControls, [&c](const Control& child) { return child.parent == c.name; });
        html += "<div " + common + " role=\"" + (image && !holds ? "img" : "group") +
                "\" aria-label=\"" + Escaped(SpokenName(c)) + "\"" +
                (image ? " data-image=\"" + ImageName(c.text) + "\"" : "") + ">\n";
        Write(html, c.name);
        html += "</div>\n";
        break;
      }
      case Kind::Label:
        if (HeadingOf(c)) {
          // The result's heading and unit, said before its value and never shown.
          html += "<span class=\"spoken\">" + Escaped(SpokenName(c)) + ": </span>";
        }
        html += "<div " + common + ">" + Escaped(StartText(c)) + "</div>\n";
        break;
      case Kind::TextBox:
        html += "<input " + common + " type=\"text\" value=\"" + Escaped(StartText(c)) +
                "\" aria-label=\"" + Escaped(SpokenName(c)) +
                "\" autocomplete=\"off\" spellcheck=\"false\" inputmode=\"decimal\">\n";
        break;
      case Kind::Button: {
        char key = 0;
        const std::string caption = Caption(c.text, key);
        html += "<button " + common + " type=\"button\" aria-keyshortcuts=\"Alt+" +
                std::string(1, key) + "\" data-key=\"" + std::string(1, key) + "\">" + caption +
                "</button>\n";
        break;
      }
      case Kind::Line:
        html += "<div " + common + " role=\"separator\"></div>\n";
        break;
    }
  }
}

}  // namespace

// Usage: markup OUTPUT.html
int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: markup OUTPUT.html\n";
    return 2;
  }
  std::string css;
  // The table's families in order: the designed face where a system has it, then the Debian
  // face that the page embeds.
  for (const layout::FaceStyle& face : layout::kFaces) {
    std::string families;
    for (const std::string_view family : face.families)
      families += "\"" + std::string(family) + "\",";
    css += ".f" + std::to_string(calc::IndexOf(face.face)) +
           "{font:" + (face.italic ? "italic " : "") + (face.bold ? "700 " : "400 ") +
           std::to_string(face.pixelSize) + "px " + families + "sans-serif}\n";
  }
  const auto rgb = [](layout::Rgb c) {
    return "rgb(" + std::to_string(c.red) + "," + std::to_string(c.green) + "," +
           std::to_string(c.blue) + ")";
  };
  css += ".panel{background:" + rgb(layout::kPanelColour) + "}\n";
  css += ".grey{color:" + rgb(layout::kFooterGrey) + "}\n";
  css += ".red{color:" + rgb(layout::kFooterRed) + "}\n";

  char size[64];
  std::snprintf(size, sizeof size, "width:%dpx;height:%dpx",
                layout::TwipsToPixels(layout::kClientWidth),
                layout::TwipsToPixels(layout::kClientHeight));
  std::string html = "<div id=\"Form1\" role=\"main\" aria-label=\"Velmora - Tarquen\" style=\"" +
                     std::string(size) + "\" data-image=\"background\">\n";
  Write(html, "");
  html += "</div>\n";

  std::ofstream out(argv[1], std::ios::binary);
  out << "<style>\n" << css << "</style>\n" << html;
  return out.good() ? 0 : 1;
}
