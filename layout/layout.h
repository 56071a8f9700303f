#pragma once
// The window's controls as data, for both of its faces: the Qt window builds itself from this
// table and the web page's markup is written from it. Places and sizes are in twips (1440 to
// the inch), relative to the inner area of the control's container; at 96 dpi a pixel is 15
// twips, and Qt (like a browser) scales device-independent pixels for high-DPI screens.

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>

#include "calc/enum_index.h"

namespace layout {

inline constexpr int kTwipsPerPixel = 15;

// Device-independent pixels for a length in twips. Every length in this file is a whole
// number of pixels (checked below), so the division is exact.
constexpr int TwipsToPixels(int twips) {
  return twips / kTwipsPerPixel;
}

// The window's inner (client) area and where its top-left corner opens on the screen.
inline constexpr int kClientWidth = 7380;
inline constexpr int kClientHeight = 8760;
inline constexpr int kOpenLeft = 14085;
inline constexpr int kOpenTop = 3615;

enum class Kind {
  Picture,  // picture box: a container that may show an image and takes the focus
  Label,
  TextBox,  // single-line text box
  Button,
  Line,  // a rule one device pixel thick, drawn by its panel; its box runs along the line
};

// Fonts, named after the faces they stand in for (see kFaces).
enum class Face {
  Default,        // the default dialog font, regular 8.25 pt
  SansBold8,      // MS Sans Serif 8.25 bold
  SansBold10,     // MS Sans Serif 9.75 bold
  ArialBold8,     // Arial 8.25 bold
  BlackItalic11,  // Arial Black 11.25 bold italic
  BlackItalic12,  // Arial Black 12 bold italic
};

struct FaceStyle {
  Face face;
  // The designed face first, then the nearest face Debian has; the first one installed is
  // used, so Windows shows the designed look and Debian keeps its own.
  std::array<std::string_view, 2> families;
  int pixelSize;  // at 96 dpi: 8.25 pt is 11 px, 9.75 pt 13 px, 11.25 pt 15 px, 12 pt 16 px
  bool bold;
  bool italic;
};

// Liberation Sans (Arial's metrics) fits every dialog text in its box; DejaVu Sans Bold, the
// heaviest sans-serif face at hand, stands in for Arial Black and still fits the footer.
inline constexpr std::array<FaceStyle, 6> kFaces{{
    {Face::Default, {"MS Sans Serif", "Liberation Sans"}, 11, false, false},
    {Face::SansBold8, {"MS Sans Serif", "Liberation Sans"}, 11, true, false},
    {Face::SansBold10, {"MS Sans Serif", "Liberation Sans"}, 13, true, false},
    {Face::ArialBold8, {"Arial", "Liberation Sans"}, 11, true, false},
    {Face::BlackItalic11, {"Arial Black", "DejaVu Sans"}, 15, true, true},
    {Face::BlackItalic12, {"Arial Black", "DejaVu Sans"}, 16, true, true},
}};

// kFaces lists the faces in the order of their enumerators, so a Face indexes it.
using calc::IndexOf;
static_assert(std::ranges::all_of(kFaces,
                                  [](const FaceStyle& style) {
                                    return &kFaces[IndexOf(style.face)] == &style;
                                  }),
              "kFaces follows the order of Face");

// Texts start at the top of their box; LeftWrap breaks lines at spaces.
enum class Align { Left, Centre, LeftWrap };

struct Rgb {
  int red;
  int green;
  int blue;
};

inline constexpr Rgb kPanelColour{255, 255, 128};
inline constexpr Rgb kTextBlack{0, 0, 0};  // the default text of the usual scheme
inline constexpr Rgb kFooterGrey{64, 64, 64};
inline constexpr Rgb kFooterRed{128, 0, 0};

enum class Fill {
  None,   // transparent: the container shows through
  Panel,  // opaque, kPanelColour
};

// Text colours. Default is the usual scheme's black, not the user's scheme: every label
// stands on the window's own fixed colours.
enum class Ink { Default, FooterGrey, FooterRed };

struct Control {
  std::string_view name;
  int index;  // element of a control array, or -1
  Kind kind;
  std::string_view parent;  // empty: the window itself
  int left;                 // twips
  int top;
  int width;
  int height;
  std::string_view text;  // caption or image resource; empty for fields and results (calc's)
  Face face;
  Align align;
  Fill fill;
  Ink ink;
  bool sunkenFrame;  // picture boxes: the 3-D sunken border, 2 px
  int tabIndex;      // order of the focus chain; -1 for controls that never take the focus
  // What a screen reader says for the control, in Hungarian; empty where its own text says
  // it, and for the input fields and result labels, whose headings and units are in
  // calc/field_table.h.
  std::string_view accessibleName;
};

// Images are compiled in as raw pixels (see window/tools/rawimage.cpp): the background only
// as the part the window shows, the icon only in the sizes a window icon is drawn at.
inline constexpr std::string_view kBackgroundImage = ":/art/background.raw";
inline constexpr std::array<std::string_view, 3> kIconImages{":/art/logo16.raw", ":/art/logo32.raw",
                                                             ":/art/logo48.raw"};

// Containers come before their children. Input fields get their start-up texts and result
// labels their stored captions (their own names) from calc/field_table.h; the load step
// replaces the captions before the window is first shown.
// clang-format off
inline constexpr std::array kControls = std::to_array<Control>({
  // name       idx kind           parent      left   top  width height text                          face                 align          fill         ink              frame  tab  accessible name
  {"Picture3",  -1, Kind::Picture, "",          450,     0, 6450, 1095, ":/art/banner.raw",           Face::Default,       Align::Left,   Fill::None,  Ink::Default,    false, 42, "Velmora-Tarquen"},
  {"Picture2",  -1, Kind::Picture, "",          270,  1305, 6810, 1995, "",                           Face::Default,       Align::Left,   Fill::Panel, Ink::Default,    true,  30, "Bemenő adatok"},
  {"Picture1",  -1, Kind::Picture, "",          270,  3555, 6810, 3480, "",                           Face::Default,       Align::Left,   Fill::Panel, Ink::Default,    true,   0, "Számított károsanyag kibocsátás megtakarítás"},
  {"Command1",  -1, Kind::Button,  "",          585,  7245, 2670,  465, "&Számítás",                  Face::SansBold8,     Align::Centre, Fill::None,  Ink::Default,    false, 25, "Számítás"},
  {"Command2",  -1, Kind::Button,  "",         3960,  7245, 2670,  465, "&Kilépés",                   Face::SansBold8,     Align::Centre, Fill::None,  Ink::Default,    false, 39, "Kilépés"},
  {"Label27",   -1, Kind::Label,   "",          405,  7920, 6570,  240, "",                           Face::SansBold10,    Align::Left,   Fill::None,  Ink::FooterGrey, false, -1, ""},
  {"Label26",   -1, Kind::Label,   "",          270,  8280, 3405,  330, "Információ: Velmora Kft.",   Face::BlackItalic11, Align::Left,   Fill::None,  Ink::FooterRed,  false, -1, ""},
  {"Label33",   -1, Kind::Label,   "",         4500,  8280, 2430,  345, "www.velmora.hu",             Face::BlackItalic12, Align::Left,   Fill::None,  Ink::FooterRed,  false, -1, ""},

  {"Label36",   -1, Kind::Label,   "Picture3", 1395,   900, 1860,  210, "Program verzió: 2010/1",     Face::ArialBold8,    Align::Left,   Fill::None,  Ink::Default,    false, -1, ""},

  {"Label35",   -1, Kind::Label,   "Picture2",  225,    90, 2625,  330, "Bemenő adatok",              Face::SansBold10,    Align::Left,   Fill::Panel, Ink::Default,    false, -1, ""},
  {"Label1",    -1, Kind::Label,   "Picture2",  135,   450, 4470,  285, "Kollektorral megtakarítható éves fajlagos hőenergia:", Face::SansBold8, Align::Left, Fill::Panel, Ink::Default, false, -1, ""},
  {"Text1",     -1, Kind::TextBox, "Picture2", 4725,   450,  735,  285, "",                           Face::Default,       Align::Centre, Fill::None,  Ink::Default,    false, 32, ""},
  {"Picture6",  -1, Kind::Picture, "Picture2", 5625,   405,  870,  240, ":/art/unit_kwh_m2_ev.raw",   Face::Default,       Align::Left,   Fill::None,  Ink::Default,    false, 49, "kWh/m²·év"},
  {"Label3",    -1, Kind::Label,   "Picture2", 4770,   855,  735,  240, "",                           Face::Default,       Align::Centre, Fill::Panel, Ink::Default,    false, -1, ""},
  {"Picture7",  -1, Kind::Picture, "Picture2", 5625,   810,  780,  240, ":/art/unit_gj_m2_ev.raw",    Face::Default,       Align::Left,   Fill::None,  Ink::Default,    false, 50, "GJ/m²·év"},
  {"Label4",    -1, Kind::Label,   "Picture2", 2790,  1170, 1815,  330, "Napkollektor felület:",      Face::SansBold8,     Align::Left,   Fill::Panel, Ink::Default,    false, -1, ""},
  {"Text2",     -1, Kind::TextBox, "Picture2", 4725,  1155,  735,  285, "",                           Face::Default,       Align::Centre, Fill::None,  Ink::Default,    false, 31, ""},
  {"Picture5",  -1, Kind::Picture, "Picture2", 5625,  1125,  375,  240, ":/art/unit_m2.raw",          Face::Default,       Align::Left,   Fill::None,  Ink::Default,    false, 48, "m²"},
  {"Label38",   -1, Kind::Label,   "Picture2", 1485,  1620, 3120,  240, "Összes megtakarítható hőenergia:", Face::SansBold8, Align::Left,   Fill::Panel, Ink::Default,    false, -1, ""},
  {"Label39",   -1, Kind::Label,   "Picture2", 4770,  1620,  735,  240, "",                           Face::Default,       Align::Centre, Fill::Panel, Ink::Default,    false, -1, ""},
  {"Picture4",  -1, Kind::Picture, "Picture2", 5625,  1575,  825,  240, ":/art/unit_gj_ev.raw",       Face::Default,       Align::Left,   Fill::None,  Ink::Default,    false, 47, "GJ/év"},

  {"Label28",   -1, Kind::Label,   "Picture1",  180,   135, 5955,  330, "Számított károsanyag kibocsátás megtakarítás", Face::SansBold10, Align::Left, Fill::None, Ink::Default, false, -1, ""},
  {"Label37",   -1, Kind::Label,   "Picture1",  270,   540,  735,  600, "Kiváltott energia- hordozó", Face::SansBold8,     Align::LeftWrap, Fill::None, Ink::Default,  false, -1, ""},
  {"Label9",    -1, Kind::Label,   "Picture1", 1080,   630,  960,  240, "Hatásfok",                   Face::SansBold8,     Align::Centre, Fill::None,  Ink::Default,    false, -1, ""},
  {"Label10",   -1, Kind::Label,   "Picture1", 2385,   630,  960,  240, "Szén-dioxid",                Face::SansBold8,     Align::Centre, Fill::None,  Ink::Default,    false, -1, ""},
  {"Label15",   -1, Kind::Label,   "Picture1", 3690,   630, 1335,  240, "Nitrogén-oxidok",            Face::SansBold8,     Align::Centre, Fill::None,  Ink::Default,    false, -1, ""},
  {"Label20",   -1, Kind::Label,   "Picture1", 5310,   630,  960,  240, "Kén-dioxid",                 Face::SansBold8,     Align::Centre, Fill::None,  Ink::Default,    false, -1, ""},
  {"Label25",   -1, Kind::Label,   "Picture1", 1170,   900,  735,  240, "%",                          Face::Default,       Align::Centre, Fill::None,  Ink::Default,    false, -1, ""},
  {"Label30",   -1, Kind::Label,   "Picture1", 2355,   900,  960,  240, "t/év",                       Face::Default,       Align::Centre, Fill::None,  Ink::Default,    false, -1, ""},
  {"Label31",   -1, Kind::Label,   "Picture1", 3735,   900, 1200,  240, "kg/év",                      Face::Default,       Align::Centre, Fill::None,  Ink::Default,    false, -1, ""},
  {"Label32",   -1, Kind::Label,   "Picture1", 5310,   900,  960,  240, "kg/év",                      Face::Default,       Align::Centre, Fill::None,  Ink::Default,    false, -1, ""},
  {"Label5",    -1, Kind::Label,   "Picture1",  315,  1305,  555,  240, "Gáz",                        Face::SansBold10,    Align::Centre, Fill::None,  Ink::Default,    false, -1, ""},
  {"Label6",    -1, Kind::Label,   "Picture1",  270,  1800,  690,  240, "Villany",                    Face::SansBold10,    Align::Centre, Fill::None,  Ink::Default,    false, -1, ""},
  {"Label7",    -1, Kind::Label,   "Picture1",  315,  2340,  555,  240, "Olaj",                       Face::SansBold10,    Align::Centre, Fill::None,  Ink::Default,    false, -1, ""},
  {"Label8",    -1, Kind::Label,   "Picture1",  315,  2835,  555,  240, "Szén",                       Face::SansBold10,    Align::Centre, Fill::None,  Ink::Default,    false, -1, ""},
  {"Text3",     -1, Kind::TextBox, "Picture1", 1305,  1305,  510,  285, "",                           Face::Default,       Align::Centre, Fill::None,  Ink::Default,    false,  6, ""},
  {"Text4",     -1, Kind::TextBox, "Picture1", 1305,  1800,  510,  285, "",                           Face::Default,       Align::Centre, Fill::None,  Ink::Default,    false,  7, ""},
  {"Text5",     -1, Kind::TextBox, "Picture1", 1305,  2295,  510,  285, "",                           Face::Default,       Align::Centre, Fill::None,  Ink::Default,    false,  8, ""},
  {"Text6",     -1, Kind::TextBox, "Picture1", 1305,  2790,  510,  285, "",                           Face::Default,       Align::Centre, Fill::None,  Ink::Default,    false,  9, ""},
  {"Label11",   -1, Kind::Label,   "Picture1", 2340,  1350,  960,  240, "",                           Face::Default,       Align::Centre, Fill::None,  Ink::Default,    false, -1, ""},
  {"Label12",   -1, Kind::Label,   "Picture1", 2340,  1845,  960,  240, "",                           Face::Default,       Align::Centre, Fill::None,  Ink::Default,    false, -1, ""},
  {"Label13",   -1, Kind::Label,   "Picture1", 2340,  2385,  960,  240, "",                           Face::Default,       Align::Centre, Fill::None,  Ink::Default,    false, -1, ""},
  {"Label14",   -1, Kind::Label,   "Picture1", 2340,  2880,  960,  240, "",                           Face::Default,       Align::Centre, Fill::None,  Ink::Default,    false, -1, ""},
  {"Label16",   -1, Kind::Label,   "Picture1", 3825,  1350,  960,  240, "",                           Face::Default,       Align::Centre, Fill::None,  Ink::Default,    false, -1, ""},
  {"Label17",   -1, Kind::Label,   "Picture1", 3825,  1845,  960,  240, "",                           Face::Default,       Align::Centre, Fill::None,  Ink::Default,    false, -1, ""},
  {"Label18",   -1, Kind::Label,   "Picture1", 3825,  2385,  960,  240, "",                           Face::Default,       Align::Centre, Fill::None,  Ink::Default,    false, -1, ""},
  {"Label19",   -1, Kind::Label,   "Picture1", 3825,  2880,  960,  240, "",                           Face::Default,       Align::Centre, Fill::None,  Ink::Default,    false, -1, ""},
  {"Label21",   -1, Kind::Label,   "Picture1", 5310,  1350,  960,  240, "",                           Face::Default,       Align::Centre, Fill::None,  Ink::Default,    false, -1, ""},
  {"Label22",   -1, Kind::Label,   "Picture1", 5310,  1845,  960,  240, "",                           Face::Default,       Align::Centre, Fill::None,  Ink::Default,    false, -1, ""},
  {"Label23",   -1, Kind::Label,   "Picture1", 5310,  2385,  960,  240, "",                           Face::Default,       Align::Centre, Fill::None,  Ink::Default,    false, -1, ""},
  {"Label24",   -1, Kind::Label,   "Picture1", 5310,  2880,  960,  240, "",                           Face::Default,       Align::Centre, Fill::None,  Ink::Default,    false, -1, ""},
  // Rules: horizontal ones from x 180 to x 6570, the vertical one from y 495 to y 3210.
  {"Line2",      1, Kind::Line,    "Picture1",  180,  1170, 6570 - 180,   15, "",               Face::Default,       Align::Left,   Fill::None,  Ink::Default,    false, -1, ""},
  {"Line2",      0, Kind::Line,    "Picture1",  180,  1680, 6570 - 180,   15, "",               Face::Default,       Align::Left,   Fill::None,  Ink::Default,    false, -1, ""},
  {"Line2",      2, Kind::Line,    "Picture1",  180,  2190, 6570 - 180,   15, "",               Face::Default,       Align::Left,   Fill::None,  Ink::Default,    false, -1, ""},
  {"Line2",      4, Kind::Line,    "Picture1",  180,  2700, 6570 - 180,   15, "",               Face::Default,       Align::Left,   Fill::None,  Ink::Default,    false, -1, ""},
  {"Line1",      0, Kind::Line,    "Picture1", 1035,   495,   15, 3210 - 495, "",               Face::Default,       Align::Left,   Fill::None,  Ink::Default,    false, -1, ""},
});
// clang-format on

static_assert(std::ranges::all_of(kControls,
                                  [](const Control& c) {
                                    return c.left % kTwipsPerPixel == 0 &&
                                           c.top % kTwipsPerPixel == 0 &&
                                           c.width % kTwipsPerPixel == 0 &&
                                           c.height % kTwipsPerPixel == 0;
                                  }),
              "every place and size is a whole number of pixels");

}  // namespace layout
