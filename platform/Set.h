// Sets over enumerations: an enum class plus this small flags template.
// Portable: no Windows headers.
#pragma once

#include <bitset>
#include <cstddef>
#include <initializer_list>

template <class E, std::size_t N = 64>
class TSet {
public:
  constexpr TSet() = default;
  TSet(std::initializer_list<E> items) {
    for (E e : items) Include(e);
  }

  bool Contains(E e) const { return FBits.test(Index(e)); }
  TSet& Include(E e) { FBits.set(Index(e)); return *this; }
  TSet& Exclude(E e) { FBits.reset(Index(e)); return *this; }
  bool Empty() const { return FBits.none(); }
  std::size_t Count() const { return FBits.count(); }

  TSet operator+(const TSet& o) const { TSet r(*this); r.FBits |= o.FBits; return r; }
  TSet operator-(const TSet& o) const { TSet r(*this); r.FBits &= ~o.FBits; return r; }
  TSet operator*(const TSet& o) const { TSet r(*this); r.FBits &= o.FBits; return r; }
  TSet& operator+=(const TSet& o) { FBits |= o.FBits; return *this; }
  TSet& operator-=(const TSet& o) { FBits &= ~o.FBits; return *this; }
  TSet& operator*=(const TSet& o) { FBits &= o.FBits; return *this; }
  TSet operator+(E e) const { TSet r(*this); return r.Include(e); }
  TSet operator-(E e) const { TSet r(*this); return r.Exclude(e); }
  TSet& operator+=(E e) { return Include(e); }
  TSet& operator-=(E e) { return Exclude(e); }
  bool operator==(const TSet& o) const { return FBits == o.FBits; }
  // True when every member of this set is in `o`.
  bool SubsetOf(const TSet& o) const { return (FBits & ~o.FBits).none(); }

  // Raw bits of the first 64 members (for storing a set as a number).
  unsigned long long Bits() const { return (FBits & std::bitset<N>(~0ull)).to_ullong(); }
  static TSet FromBits(unsigned long long bits) { TSet s; s.FBits = std::bitset<N>(bits); return s; }

private:
  static std::size_t Index(E e) { return static_cast<std::size_t>(e); }
  std::bitset<N> FBits;
};
