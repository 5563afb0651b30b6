#pragma once

namespace velkor {

// The SQL type codes of the client interface (bit 0 cleared), so that users of the areas need
// not see the client header.
namespace SqlType {
inline constexpr int Varying = 448;
inline constexpr int Text = 452;
inline constexpr int Double = 480;
inline constexpr int Float = 482;
inline constexpr int Long = 496;
inline constexpr int Short = 500;
inline constexpr int Timestamp = 510;
inline constexpr int Blob = 520;
inline constexpr int DFloat = 530;
inline constexpr int Array = 540;
inline constexpr int Quad = 550;
inline constexpr int TypeTime = 560;
inline constexpr int TypeDate = 570;
inline constexpr int Int64 = 580;
} // namespace SqlType

} // namespace velkor
