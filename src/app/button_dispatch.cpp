#include "app/button_dispatch.h"

#include "app/vendor_buttons.h"
#include "app/window_switcher.h"
#include "bindings/key_injection.h"
#include "state/program_state.h"

namespace bk {

namespace {

constexpr ButtonCode kConsumerControl = 0x000CULL << 32 | 0x0001ULL << 16;
constexpr ButtonCode kVendorCollection = 0xFFAAULL << 32 | 0x0088ULL << 16;

struct MediaButton {
  std::uint16_t usage;
  std::string_view name;
};
constexpr MediaButton kMediaButtons[] = {
    {0x0040, "menu"},   {0x008D, "guide"}, {0x009C, "channelup"}, {0x009D, "channeldown"},
    {0x00B0, "play"},   {0x00B1, "pause"}, {0x00B2, "record"},    {0x00B3, "fastforward"},
    {0x00B4, "rewind"}, {0x00B5, "next"},  {0x00B6, "previous"},  {0x00B7, "stop"},
    {0x0209, "info"},   {0x0224, "back"},  {0x022F, "zoom"},      {0x0230, "fullscreen"},
};
static_assert(std::size(kMediaButtons) == std::size(kMediaButtonNames));

constexpr std::uint8_t kVendorNumbers[] = {0x00, 0x01, 0x02, 0x06, 0x07, 0x08, 0x09};

}  // namespace

ButtonMeaning ClassifyButton(ButtonCode code) {
  for (const MediaButton& button : kMediaButtons) {
    if (code == (kConsumerControl | button.usage)) {
      return {ButtonMeaning::Kind::Media, button.name, 0};
    }
  }
  for (std::uint8_t number : kVendorNumbers) {
    if (code == (kVendorCollection | number)) return {ButtonMeaning::Kind::Vendor, {}, number};
  }
  return {};
}

void DispatchButton(ButtonCode code) {
  const ButtonMeaning meaning = ClassifyButton(code);
  if (meaning.kind == ButtonMeaning::Kind::Media) {
    // The switcher's held Alt or Windows key would otherwise join the button's chord.
    StepWindowSwitcher(false);
    // While the layout is up the remote types; its media buttons have no meaning then.
    if (!layoutShown) SendBinding(meaning.name);
  } else if (meaning.kind == ButtonMeaning::Kind::Vendor) {
    VendorButton(meaning.number);
  }
  // Every other code has no effect.
}

}  // namespace bk
