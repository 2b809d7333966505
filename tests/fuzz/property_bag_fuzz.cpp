// SPDX-License-Identifier: GPL-3.0-or-later
// The property bag the host loads from the designer's text form: a text is read or refused
// with error 380; what was read writes a text that reads back to the same names, types and
// texts, and writes the same text again; the display control restores itself from it (or
// fails with a runtime error) and saves a bag that restores it the same.
//   input: form text
#include <cstdint>

#include "fuzz_input.h"
#include "lumicell/control.h"
#include "platform/errors.h"
#include "platform/host/property_bag.h"

using platform::PropertyBag;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  PropertyBag bag;
  try {
    bag = PropertyBag::fromFormText(text);
  } catch (const platform::RuntimeError& e) {
    fuzz::require(e.number() == platform::err::kInvalidPropertyValue, "a bad form text is error 380");
    return 0;
  }
  const std::string written = bag.toFormText();
  PropertyBag again;
  try {
    again = PropertyBag::fromFormText(written);
  } catch (const platform::RuntimeError& e) {
    fuzz::require(false, "a written form text reads: " + e.description() + "\n" + written);
  }
  fuzz::require(again.values().size() == bag.values().size(), "every property written reads back");
  for (std::size_t i = 0; i < bag.values().size(); ++i) {
    const auto& [name, value] = bag.values()[i];
    const auto& [name2, value2] = again.values()[i];
    fuzz::require(name == name2 && value.type() == value2.type(), "a property keeps its name and type: " + name);
    if (value.type() == platform::com::Variant::Type::String)
      fuzz::require(value.text() == value2.text(), "a text property reads back whole: " + name);
  }
  fuzz::require(again.toFormText() == written, "writing again gives the same text");

  auto* control = new lumicell::Control;
  const int32_t result = control->ReadProperties(&bag);
  if (result == platform::com::kOk) {
    PropertyBag saved;
    fuzz::require(control->WriteProperties(&saved) == platform::com::kOk, "a restored control saves");
    auto* copy = new lumicell::Control;
    fuzz::require(copy->ReadProperties(&saved) == platform::com::kOk, "a saved control restores");
    const auto& a = control->state();
    const auto& b = copy->state();
    fuzz::require(a.digitDisplay == b.digitDisplay && a.digitPlaceHolders == b.digitPlaceHolders &&
                      a.digitSize == b.digitSize && a.digitColor == b.digitColor && a.digitOutLine == b.digitOutLine &&
                      a.digitJustify == b.digitJustify && a.digitFormat == b.digitFormat && a.digitError == b.digitError,
                  "a saved control restores the same");
    copy->Release();
  }
  control->Release();
  return 0;
}
