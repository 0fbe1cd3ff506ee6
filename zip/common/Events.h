#pragma once
// Messages both libraries send to their caller: "|"-separated fields and the callback that
// carries them. Every message is built here so the field layout lives in one place.
#include <initializer_list>
#include <string>
#include <string_view>

namespace cw::zip {

using Callback = short (*)(int reserved, int action, const char* message);

// Joins the fields with "|". A "|" inside a field would shift every later field, so it is
// replaced by "/" (names never carry one: the include list could not have named them).
std::string fields(std::initializer_list<std::string_view> parts);

// Calls cb (when there is one) and returns its answer, 0 without a callback.
short notify(Callback cb, int action, const std::string& message);

} // namespace cw::zip
