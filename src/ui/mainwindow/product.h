#pragma once

namespace vdk {

// What the program says about itself in its title, splash and About box.
inline constexpr const char* kApplicationTitle = "Vendrake 4.0.1";
inline constexpr const char* kNoticeLine = "Vendrake 4.0.1, (C) 2025 the Vendrake developers.";
inline constexpr const char* kWebAddress = "https://vendrake.org/";
inline constexpr const char* kSupportAddress = "support@vendrake.org";

}  // namespace vdk
