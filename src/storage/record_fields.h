#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <tuple>
#include <type_traits>

#include "model/flashing.h"

namespace kvm {

// The fields of the database's records, in file order, by their stored names. The file's
// reader and writer and the JSON export and import all walk these lists, so that a field is
// added in one place. A member's type says how it is stored: a text as GBK with a 16-bit byte
// count, whole numbers and reals little-endian at their width, a DynamicArray as a dynamic
// array of its elements.

template <class Record, class Member>
struct RecordField {
  const char* name;
  Member Record::*member;
};

template <class Record, class Member>
constexpr RecordField<Record, Member> recordField(const char* name, Member Record::*member) {
  return {name, member};
}

template <class Record>
struct RecordFields;

template <>
struct RecordFields<TextMark> {
  static constexpr auto list =
      std::tuple{recordField("Text", &TextMark::Text), recordField("X", &TextMark::X),
                 recordField("Y", &TextMark::Y), recordField("Angle", &TextMark::Angle),
                 recordField("AuxValue", &TextMark::AuxValue)};
};

template <>
struct RecordFields<DimensionMark> {
  static constexpr auto list = std::tuple{recordField("Kind", &DimensionMark::Kind),
                                          recordField("Label", &DimensionMark::Label),
                                          recordField("P1X", &DimensionMark::P1X),
                                          recordField("P1Y", &DimensionMark::P1Y),
                                          recordField("P2X", &DimensionMark::P2X),
                                          recordField("P2Y", &DimensionMark::P2Y),
                                          recordField("Style", &DimensionMark::Style),
                                          recordField("Text", &DimensionMark::Text),
                                          recordField("VertexA", &DimensionMark::VertexA),
                                          recordField("VertexB", &DimensionMark::VertexB),
                                          recordField("VertexC", &DimensionMark::VertexC),
                                          recordField("ArcX", &DimensionMark::ArcX),
                                          recordField("ArcY", &DimensionMark::ArcY),
                                          recordField("TextX", &DimensionMark::TextX),
                                          recordField("TextY", &DimensionMark::TextY),
                                          recordField("TextAtPoint", &DimensionMark::TextAtPoint),
                                          recordField("TextAngle", &DimensionMark::TextAngle)};
};

template <>
struct RecordFields<Flashing> {
  static constexpr auto list = std::tuple{recordField("Name", &Flashing::Name),
                                          recordField("MaxCutLength", &Flashing::MaxCutLength),
                                          recordField("Overlap", &Flashing::Overlap),
                                          recordField("Color", &Flashing::Color),
                                          recordField("EndExtension", &Flashing::EndExtension),
                                          recordField("LengthFactor", &Flashing::LengthFactor),
                                          recordField("DevelopedWidth", &Flashing::DevelopedWidth),
                                          recordField("ScaleCode", &Flashing::ScaleCode),
                                          recordField("StartX", &Flashing::StartX),
                                          recordField("StartY", &Flashing::StartY),
                                          recordField("SegmentLengths", &Flashing::SegmentLengths),
                                          recordField("SegmentAngles", &Flashing::SegmentAngles),
                                          recordField("TextMarks", &Flashing::TextMarks),
                                          recordField("DimensionMarks", &Flashing::DimensionMarks)};
};

template <>
struct RecordFields<FlashingLibrary> {
  static constexpr auto list =
      std::tuple{recordField("Name", &FlashingLibrary::Name),
                 recordField("Flashings", &FlashingLibrary::Flashings),
                 recordField("LastFlashing", &FlashingLibrary::LastFlashing)};
};

template <class T>
concept StoredRecord = requires {
  RecordFields<T>::list;
};

// Calls visit(field) for every field of Record, in file order.
template <StoredRecord Record, class Visit>
constexpr void forEachField(Visit&& visit) {
  std::apply([&visit](const auto&... fields) { (visit(fields), ...); }, RecordFields<Record>::list);
}

template <class T>
struct IsDynamicArray : std::false_type {};
template <class T>
struct IsDynamicArray<DynamicArray<T>> : std::true_type {
  using Element = T;
};

// The fewest bytes a value of type T takes in the file (an unallocated array, an empty
// text): what a stored element count is checked against before anything is allocated.
template <class T>
constexpr std::size_t minStoredSize() {
  if constexpr (std::is_same_v<T, std::u16string> || IsDynamicArray<T>::value) {
    return 2;
  } else if constexpr (StoredRecord<T>) {
    std::size_t size = 0;
    forEachField<T>([&size](const auto& field) {
      using Member = std::remove_cvref_t<decltype(std::declval<T&>().*field.member)>;
      size += minStoredSize<Member>();
    });
    return size;
  } else {
    static_assert(std::is_arithmetic_v<T>);
    return sizeof(T);
  }
}

}  // namespace kvm
