#include "osd/layout_tables.h"

#include <algorithm>
#include <iterator>

namespace bk {

namespace {

// Storage for the one-character labels of character keys.
constexpr std::array<char, 512> kCharTexts = [] {
  std::array<char, 512> texts{};
  for (int c = 0; c < 256; ++c) texts[2 * c] = static_cast<char>(c);
  return texts;
}();

constexpr std::string_view One(char ch) {
  return {&kCharTexts[2 * static_cast<unsigned char>(ch)], 1};
}

using enum KeyKind;
using enum KeyStyle;

// A key without a character: it types its fixed key code, or (code 0) its label.
constexpr LayoutKey Key(std::string_view label, KeyKind kind, KeyStyle style, KeyValue vk, double x,
                        double y, double w, double h, std::string_view hint,
                        std::string_view sequence) {
  LayoutKey key;
  key.label = key.shiftLabel = label;
  key.vk = key.shiftVk = vk;
  key.kind = kind;
  key.style = style;
  key.x = x;
  key.y = y;
  key.width = w;
  key.height = h;
  key.hint = hint;
  key.sequence = sequence;
  return key;
}

// A character key: `ch` in its normal form, `shiftCh` in its shifted form.
constexpr LayoutKey Chr(char ch, char shiftCh, double x, double y, double w, double h,
                        std::string_view hint, std::string_view sequence,
                        std::uint8_t capsAffects = 0, KeyStyle style = normal) {
  LayoutKey key = Key(One(ch), character, style, 0, x, y, w, h, hint, sequence);
  key.shiftLabel = One(shiftCh);
  key.ch = ch;
  key.shiftCh = shiftCh;
  key.shiftVk = 0;
  key.capsAffects = capsAffects;
  return key;
}

constexpr char Upper(char lower) {
  return static_cast<char>(lower - 'a' + 'A');
}

// A letter of the keyboard picture: lower case, Shift or Caps Lock for the capital.
constexpr LayoutKey Letter(char lower, double x, double y, std::string_view sequence) {
  return Chr(lower, Upper(lower), x, y, 50, 40, sequence, sequence, 1);
}

// A symbol key of the keyboard picture, whose hint shows its taps.
constexpr LayoutKey Symbol(char ch, char shiftCh, double x, double y, double w,
                           std::string_view sequence) {
  return Chr(ch, shiftCh, x, y, w, 40, sequence, sequence);
}

// A key of the keyboard's top row: small, pointer only, a fixed key code.
constexpr LayoutKey TopRow(std::string_view label, KeyValue vk, double x, double w,
                           std::string_view sequence) {
  return Key(label, character, small, vk, x, 26, w, 24, "", sequence);
}

// A phone pad group header: its own character on the label in both forms.
constexpr LayoutKey Header(char ch, char shiftCh, double x, double y, std::string_view sequence) {
  LayoutKey key = Chr(ch, shiftCh, x, y, 192, 28, "", sequence, 0, special);
  key.shiftLabel = key.label;
  return key;
}

// A member of a phone pad group, in the row under its header.
constexpr LayoutKey Member(char ch, char shiftCh, double x, double y, double w,
                           std::string_view sequence, std::uint8_t capsAffects = 0) {
  return Chr(ch, shiftCh, x, y, w, 28, "", sequence, capsAffects);
}
constexpr LayoutKey Letters(char ch, char shiftCh, double x, double y, double w,
                            std::string_view sequence) {
  return Member(ch, shiftCh, x, y, w, sequence, 1);
}

constexpr LayoutKey CloseKey() {
  return Key("x", close, small, 0, 764, -10, 16, 20, "", "-quit-");
}

constexpr LayoutKey End() {
  return {};
}

// clang-format off
constexpr KeyLayout<kKeyboardKeyCount> kKeyboardTable = {{
    CloseKey(),
    // Row 1: pointer-only keys.
    //     label   vk   x    width sequence
    TopRow("Esc",  27,  10,  50, "-x1-"),
    TopRow("F1",   112, 62,  36, "-f1-"),
    TopRow("F2",   113, 98,  36, "-f2-"),
    TopRow("F3",   114, 134, 36, "-f3-"),
    TopRow("F4",   115, 170, 36, "-f4-"),
    TopRow("F5",   116, 206, 36, "-f5-"),
    TopRow("F6",   117, 242, 36, "-f6-"),
    TopRow("F7",   118, 278, 36, "-f7-"),
    TopRow("F8",   119, 314, 36, "-f8-"),
    TopRow("F9",   120, 350, 36, "-f9-"),
    TopRow("F10",  121, 386, 36, "-f10-"),
    TopRow("F11",  122, 422, 36, "-f11-"),
    TopRow("F12",  123, 458, 36, "-f12-"),
    TopRow("Ins",  45,  496, 44, "-a1-"),
    TopRow("Del",  46,  540, 44, "-a2-"),
    TopRow("Home", 36,  584, 44, "-a3-"),
    TopRow("End",  35,  628, 44, "-a4-"),
    TopRow("PgDn", 34,  672, 44, "-a5-"),
    TopRow("PgUp", 33,  716, 44, "-a6-"),
    // Row 2.
    //     ch    shift x    y   width sequence
    Symbol('`',  '~',  10,  56, 65, "1111111"),
    Symbol('1',  '!',  75,  56, 50, "1"),
    Symbol('2',  '@',  125, 56, 50, "2222"),
    Symbol('3',  '#',  175, 56, 50, "3333"),
    Symbol('4',  '$',  225, 56, 50, "4444"),
    Symbol('5',  '%',  275, 56, 50, "5555"),
    Symbol('6',  '^',  325, 56, 50, "6666"),
    Symbol('7',  '&',  375, 56, 50, "77777"),
    Symbol('8',  '*',  425, 56, 50, "8888"),
    Symbol('9',  '(',  475, 56, 50, "99999"),
    Symbol('0',  ')',  525, 56, 50, "000"),
    Symbol('-',  '_',  575, 56, 50, "11"),
    Symbol('=',  '+',  625, 56, 50, "111"),
    //  label   kind       style   vk   x    y   w   h   hint     sequence
    Key("back", immediate, normal, 8,   675, 56, 85, 40, "clear", "X"),
    // Row 3.
    Key("tab",  character, normal, 9,   10,  96, 80, 40, "00",    "00"),
    Letter('q', 90,  96, "77"),
    Letter('w', 140, 96, "9"),
    Letter('e', 190, 96, "33"),
    Letter('r', 240, 96, "777"),
    Letter('t', 290, 96, "8"),
    Letter('y', 340, 96, "999"),
    Letter('u', 390, 96, "88"),
    Letter('i', 440, 96, "444"),
    Letter('o', 490, 96, "666"),
    Letter('p', 540, 96, "7"),
    Symbol('[',  '{',  590, 96, 50, "1111"),
    Symbol(']',  '}',  640, 96, 50, "11111"),
    Symbol('\\', '|',  690, 96, 70, "111111"),
    // Row 4.
    Key("lock", lock,      special, 20, 10,  136, 100, 40, "A", "A"),
    Letter('a', 110, 136, "2"),
    Letter('s', 160, 136, "7777"),
    Letter('d', 210, 136, "3"),
    Letter('f', 260, 136, "333"),
    Letter('g', 310, 136, "4"),
    Letter('h', 360, 136, "44"),
    Letter('j', 410, 136, "5"),
    Letter('k', 460, 136, "55"),
    Letter('l', 510, 136, "555"),
    Symbol(';',  ':',  560, 136, 50, "*******"),
    Symbol('\'', '"',  610, 136, 50, "********"),
    Key("enter", immediate, normal, 13, 660, 136, 100, 40, "enter", "E"),
    // Row 5.
    Key("shift", modifier, special, 160, 10,  176, 125, 40, "#", "#"),
    Letter('z', 135, 176, "9999"),
    Letter('x', 185, 176, "99"),
    Letter('c', 235, 176, "222"),
    Letter('v', 285, 176, "888"),
    Letter('b', 335, 176, "22"),
    Letter('n', 385, 176, "66"),
    Letter('m', 435, 176, "6"),
    Symbol(',',  '<',  485, 176, 50, "******"),
    Symbol('.',  '>',  535, 176, 50, "*"),
    Symbol('/',  '?',  585, 176, 50, "**"),
    Key("shift", modifier, special, 161, 635, 176, 125, 40, "", "-unused1-"),
    // Row 6.
    Key("ctrl",  modifier,  special, 162, 10,  216, 65,  40, "B", "B"),
    Key("start", modifier,  special, 91,  75,  216, 65,  40, "C", "C"),
    Key("alt",   modifier,  special, 164, 140, 216, 65,  40, "D", "D"),
    Key("space", character, normal,  32,  205, 216, 289, 40, "0", "0"),
    Key("alt",   modifier,  special, 165, 494, 216, 56,  40, "", "-unused2-"),
    Key("menu",  character, special, 93,  550, 216, 56,  40, "", "-unused3-"),
    Key("ctrl",  modifier,  special, 163, 606, 216, 56,  40, "", "-unused4-"),
    Key("@",     character, small,   0,   662, 216, 22,  40, "***", "***"),
    Key(".com",  character, small,   0,   684, 216, 38,  40, "****", "****"),
    Key(".net",  character, small,   0,   722, 216, 38,  40, "*****", "*****"),
    End(),
}};

constexpr KeyLayout<kPhonepadKeyCount> kPhonepadTable = {{
    CloseKey(),
    // Group 1: symbols, members 24 wide.
    Header('1', '1', 0, 26, "111111111"),
    Member('"',  '^', 0,   54, 24, "1"),
    Member('\'', '~', 24,  54, 24, "11"),
    Member('(',  '[', 48,  54, 24, "111"),
    Member(')',  ']', 72,  54, 24, "1111"),
    Member('<',  '{', 96,  54, 24, "11111"),
    Member('>',  '}', 120, 54, 24, "111111"),
    Member('|',  '&', 144, 54, 24, "1111111"),
    Member('`',  '_', 168, 54, 24, "11111111"),
    // Groups 2 to 9: lower-case letters, then the same in upper case.
    Header('2', '2', 200, 26, "2222222"),
    Letters('a', 'A', 200, 54, 32, "2"),
    Letters('b', 'B', 232, 54, 32, "22"),
    Letters('c', 'C', 264, 54, 32, "222"),
    Letters('A', 'a', 296, 54, 32, "2222"),
    Letters('B', 'b', 328, 54, 32, "22222"),
    Letters('C', 'c', 360, 54, 32, "222222"),
    Header('3', '3', 400, 26, "3333333"),
    Letters('d', 'D', 400, 54, 32, "3"),
    Letters('e', 'E', 432, 54, 32, "33"),
    Letters('f', 'F', 464, 54, 32, "333"),
    Letters('D', 'd', 496, 54, 32, "3333"),
    Letters('E', 'e', 528, 54, 32, "33333"),
    Letters('F', 'f', 560, 54, 32, "333333"),
    Header('4', '4', 0, 88, "4444444"),
    Letters('g', 'G', 0,   116, 32, "4"),
    Letters('h', 'H', 32,  116, 32, "44"),
    Letters('i', 'I', 64,  116, 32, "444"),
    Letters('G', 'g', 96,  116, 32, "4444"),
    Letters('H', 'h', 128, 116, 32, "44444"),
    Letters('I', 'i', 160, 116, 32, "444444"),
    Header('5', '5', 200, 88, "5555555"),
    Letters('j', 'J', 200, 116, 32, "5"),
    Letters('k', 'K', 232, 116, 32, "55"),
    Letters('l', 'L', 264, 116, 32, "555"),
    Letters('J', 'j', 296, 116, 32, "5555"),
    Letters('K', 'k', 328, 116, 32, "55555"),
    Letters('L', 'l', 360, 116, 32, "555555"),
    Header('6', '^', 400, 88, "6666666"),
    Letters('m', 'M', 400, 116, 32, "6"),
    Letters('n', 'N', 432, 116, 32, "66"),
    Letters('o', 'O', 464, 116, 32, "666"),
    Letters('M', 'm', 496, 116, 32, "6666"),
    Letters('N', 'n', 528, 116, 32, "66666"),
    Letters('O', 'o', 560, 116, 32, "666666"),
    Header('7', '7', 0, 150, "777777777"),
    Letters('p', 'P', 0,   178, 24, "7"),
    Letters('q', 'Q', 24,  178, 24, "77"),
    Letters('r', 'R', 48,  178, 24, "777"),
    Letters('s', 'S', 72,  178, 24, "7777"),
    Letters('P', 'p', 96,  178, 24, "77777"),
    Letters('Q', 'q', 120, 178, 24, "777777"),
    Letters('R', 'r', 144, 178, 24, "7777777"),
    Letters('S', 's', 168, 178, 24, "77777777"),
    Header('8', '8', 200, 150, "8888888"),
    Letters('t', 'T', 200, 178, 32, "8"),
    Letters('u', 'U', 232, 178, 32, "88"),
    Letters('v', 'V', 264, 178, 32, "888"),
    Letters('T', 't', 296, 178, 32, "8888"),
    Letters('U', 'u', 328, 178, 32, "88888"),
    Letters('V', 'v', 360, 178, 32, "888888"),
    Header('9', '(', 400, 150, "999999999"),
    Letters('w', 'W', 400, 178, 24, "9"),
    Letters('x', 'X', 424, 178, 24, "99"),
    Letters('y', 'Y', 448, 178, 24, "999"),
    Letters('z', 'Z', 472, 178, 24, "9999"),
    Letters('W', 'w', 496, 178, 24, "99999"),
    Letters('X', 'x', 520, 178, 24, "999999"),
    Letters('Y', 'y', 544, 178, 24, "9999999"),
    Letters('Z', 'z', 568, 178, 24, "99999999"),
    // Group *: punctuation, members 48 wide.
    Header('*', '*', 0, 212, "*****"),
    Member('.', ',',  0,   240, 48, "*"),
    Member('-', '+',  48,  240, 48, "**"),
    Member('/', '\\', 96,  240, 48, "***"),
    Member(':', ';',  144, 240, 48, "****"),
    // Group 0: space and tab, members 96 wide.
    Header('0', '0', 200, 212, "000"),
    Key("space", character, normal, 32, 200, 240, 96, 28, "", "0"),
    Key("tab",   character, normal, 9,  296, 240, 96, 28, "", "00"),
    // Group #: members 64 wide.
    Header('#', '#', 400, 212, "####"),
    Member('?', '=', 400, 240, 64, "#"),
    Member('!', '$', 464, 240, 64, "##"),
    Member('@', '%', 528, 240, 64, "###"),
    // The keys beside the groups.
    //  label        kind       style    vk   x    y    w    h   hint     sequence
    Key("enter",     immediate, normal,  13,  602, 26,  84,  56, "enter", "E"),
    Key("back",      immediate, normal,  8,   686, 26,  84,  56, "clear", "X"),
    Key("esc",       immediate, normal,  27,  602, 88,  84,  56, "",      "-none-"),
    Key("delete",    immediate, normal,  46,  686, 88,  84,  56, "",      "-none-"),
    Key("shift",     modifier,  special, 160, 602, 150, 42,  56, "A",     "A"),
    Key("ctrl",      modifier,  special, 162, 644, 150, 42,  56, "B",     "B"),
    Key("win",       modifier,  special, 91,  686, 150, 42,  56, "C",     "C"),
    Key("alt",       modifier,  special, 164, 728, 150, 42,  56, "D",     "D"),
    Key("caps lock", lock,      special, 20,  602, 212, 168, 56, "",      "-none yet-"),
    End(),
}};
// clang-format on

// Every key before the end record has a width; a miscounted table fails to build.
template <std::size_t N>
constexpr bool EndsAtItsCount(const std::array<LayoutKey, N>& layout) {
  const auto end = std::find_if(layout.begin(), layout.end(),
                                [](const LayoutKey& key) { return key.width == 0; });
  return end == std::prev(layout.end());
}
static_assert(EndsAtItsCount(kKeyboardTable));
static_assert(EndsAtItsCount(kPhonepadTable));

}  // namespace

constinit KeyLayout<kKeyboardKeyCount> keyboardLayout = kKeyboardTable;
constinit KeyLayout<kPhonepadKeyCount> phonepadLayout = kPhonepadTable;

int KeyCount(const LayoutKey* layout) {
  int count = 0;
  while (layout[count].width != 0) ++count;
  return count;
}

void RestoreLayoutTables() {
  keyboardLayout = kKeyboardTable;
  phonepadLayout = kPhonepadTable;
}

}  // namespace bk
