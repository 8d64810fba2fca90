#pragma once
// The byte layout of data packets, deltas and error packets. All numbers are
// little-endian.
//
//   header, 24 bytes:
//     0  magic "TVDP"          4  uint16 version (1)     6  uint16 flags (0)
//     8  uint32 field count   12  uint32 attribute count
//    16  uint32 row count     20  uint32 total length of the packet in bytes
//   per field:
//     uint8 name length (1..255), name; uint8 type (DSType); uint16 size;
//     int8 scale; uint8 attributes; uint8 provider flags;
//     uint8 origin length (0..255), origin
//   per attribute:
//     uint8 name length (1..255), name; uint8 kind (TVarType); the value:
//     nothing for unassigned and null, uint8 0/1 for a boolean, int32, int64,
//     double, int64 units for currency, int64 and uint8 scale for BCD, double
//     for a date, uint32 length and bytes for a string
//   per row:
//     uint8 row status (DSRowStatus); per field a uint8 field status
//     (DSFieldStatus) and, for a value, its bytes as a record holds them,
//     except that a string takes only its uint16 length and that many bytes.
//
// A packet ends exactly after its last row. A header that claims more than the
// bytes hold, an unknown code or a value out of its type's range makes the
// whole packet invalid.

#include <cstddef>
#include <cstdint>

inline constexpr uint8_t kDSPacketMagic[4] = {'T', 'V', 'D', 'P'};
inline constexpr uint16_t kDSPacketVersion = 1;
inline constexpr size_t kDSPacketHeaderSize = 24;
