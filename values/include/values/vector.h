// vector: one pointer, header_m, to a storage block laid out as four
// pointer-sized words (routine table, finish, end of storage, padding) and
// then the elements. The block is shared with other libraries as it stands:
// it is always freed through the deallocate of the table stored in it.
#ifndef OMBRIX_VALUES_VECTOR_H
#define OMBRIX_VALUES_VECTOR_H

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <limits>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>

#include "values/allocator.h"
#include "values/assert.h"

namespace ombrix {
namespace version_1 {

static_assert(sizeof(void*) == 4 || sizeof(void*) == 8, "32-bit or 64-bit pointers");

template <typename T>
class vector {
 public:
  using value_type = T;
  using size_type = std::size_t;
  using iterator = T*;
  using const_iterator = const T*;

  vector() noexcept = default;
  // An empty vector that keeps the routines: with other than the default
  // routines it holds a block of capacity 1, as the block names the routines.
  explicit vector(const capture_allocator& a) : vector(allocate_block(0, a)) {}
  // The copy keeps the routines of the vector copied and has capacity size().
  vector(const vector& x) : vector(allocate_block(x.size(), x.get_allocator())) {
    construct_at_end(x.begin(), x.end());
  }
  vector(vector&& x) noexcept : header_m(x.header_m) { x.header_m = nullptr; }
  ~vector() { release(); }

  vector& operator=(vector x) noexcept {
    swap(x);
    return *this;
  }

  iterator begin() noexcept { return header_m ? elements(header_m) : nullptr; }
  iterator end() noexcept { return header_m ? header_m->finish : nullptr; }
  const_iterator begin() const noexcept { return header_m ? elements(header_m) : nullptr; }
  const_iterator end() const noexcept { return header_m ? header_m->finish : nullptr; }

  size_type size() const noexcept { return static_cast<size_type>(end() - begin()); }
  size_type capacity() const noexcept {
    return header_m ? static_cast<size_type>(header_m->end_of_storage - begin()) : 0;
  }
  bool empty() const noexcept { return begin() == end(); }

  T& operator[](size_type n) {
    OMBRIX_ASSERT(n < size());
    return begin()[n];
  }
  const T& operator[](size_type n) const {
    OMBRIX_ASSERT(n < size());
    return begin()[n];
  }

  capture_allocator get_allocator() const noexcept {
    return header_m ? capture_allocator(header_m->routines) : capture_allocator();
  }

  // Capacity at least n, keeping the routines. The new block comes first, so
  // a failure leaves the vector as it was; elements are moved over.
  void reserve(size_type n) {
    if (capacity() >= n) return;
    vector grown(allocate_block(n, get_allocator()));
    grown.construct_at_end(std::make_move_iterator(begin()), std::make_move_iterator(end()));
    swap(grown);
  }

  // The value arrives by value, so pushing an element of this vector is safe.
  void push_back(T x) { append(&x, &x + 1); }

  void pop_back() {
    OMBRIX_ASSERT(!empty());
    resize(size() - 1);
  }

  // Cuts to n elements, or inserts value-initialised ones up to n.
  void resize(size_type n) {
    if (n < size()) {
      erase(begin() + n, end());
    } else {
      insert(end(), n - size(), T());
    }
  }

  // Inserts k copies of x before p; all copies carry x's value at the call,
  // even when x lies in this vector. Gives the position after them.
  iterator insert(iterator p, size_type k, const T& x) {
    return insert_with(p, k, [x](T* dest, size_type from, size_type to) {
      std::fill(dest, dest + (to - from), x);
    });
  }

  iterator insert(iterator p, const T* first, const T* last) {
    return insert_with(p, static_cast<size_type>(last - first),
                       [first](T* dest, size_type from, size_type to) {
                         std::copy(first + from, first + to, dest);
                       });
  }

  // Moves (for bytes: copies) the range in at the end, growing by the
  // growth rule with the vector's own routines.
  template <typename I>
  void append(I first, I last) {
    grow_for(static_cast<size_type>(std::distance(first, last)));
    construct_at_end(std::make_move_iterator(first), std::make_move_iterator(last));
  }

  // Moves the elements after the range down onto it, destroys the left-over
  // tail and gives first.
  iterator erase(iterator first, iterator last) {
    iterator new_end = std::move(last, end(), first);
    std::destroy(new_end, end());
    set_finish(new_end);
    return first;
  }

  void swap(vector& x) noexcept { std::swap(header_m, x.header_m); }

  // Moves the end. Without a block only a null end is accepted.
  void set_finish(T* x) {
    OMBRIX_ASSERT(header_m != 0 || x == 0);
    if (header_m) header_m->finish = x;
  }

 private:
  struct block_t {
    const allocator_routines_t* routines;
    T* finish;
    T* end_of_storage;
    void* padding;
    alignas(T) alignas(8) unsigned char first_element[sizeof(T)];
  };

  explicit vector(block_t* block) noexcept : header_m(block) {}

  static T* elements(block_t* block) noexcept {
    return reinterpret_cast<T*>(block->first_element);
  }
  static const T* elements(const block_t* block) noexcept {
    return reinterpret_cast<const T*>(block->first_element);
  }

  // Bytes asked of allocate for capacity n: the header, then n elements; the
  // header's one element slot is rounded up to 8 bytes, which leaves 7 spare
  // bytes for char.
  static size_type block_bytes(size_type n) {
    constexpr size_type fixed = sizeof(block_t) - sizeof(T);
    if (n > (std::numeric_limits<size_type>::max() - fixed) / sizeof(T)) throw bad_allocation();
    return fixed + n * sizeof(T);
  }

  // A block of capacity n with the routines of a. Capacity 0 gives no block
  // with the default routines, and capacity 1 otherwise to keep the routines.
  static block_t* allocate_block(size_type n, const capture_allocator& a) {
    static_assert(offsetof(block_t, first_element) == (sizeof(void*) == 4 ? 16 : 32),
                  "elements follow four pointer-sized words");
    if (n == 0) {
      if (a.is_default()) return nullptr;
      n = 1;
    }
    block_t* block = ::new (a.allocate(block_bytes(n))) block_t;
    block->routines = a.routines();
    block->finish = elements(block);
    block->end_of_storage = elements(block) + n;
    block->padding = nullptr;
    return block;
  }

  void release() noexcept {
    if (!header_m) return;
    erase(begin(), end());
    header_m->routines->deallocate(header_m);
    header_m = nullptr;
  }

  size_type room() const noexcept { return capacity() - size(); }

  // Growth rule: with less room than k, the larger of twice the size and
  // the size plus k.
  void grow_for(size_type k) {
    if (room() < k) reserve(std::max(2 * size(), size() + k));
  }

  // Constructs the range at the end; the room must already be there. The
  // end moves after each element, so a throwing copy leaves a whole vector.
  template <typename I>
  void construct_at_end(I first, I last) {
    if constexpr (std::is_trivially_copyable_v<T>) {
      set_finish(std::copy(first, last, end()));
    } else {
      for (; first != last; ++first) {
        ::new (static_cast<void*>(end())) T(*first);
        set_finish(end() + 1);
      }
    }
  }

  // Inserts k elements before p; write(dest, from, to) writes the new
  // elements from..to at dest.
  template <typename Write>
  iterator insert_with(iterator p, size_type k, Write write) {
    static_assert(std::is_trivially_copyable_v<T>, "insert is for bytes");
    const size_type offset = static_cast<size_type>(p - begin());
    if (room() >= k) {
      insert_in_place(p, k, write);
    } else {
      insert_by_new_block(p, k, write);
    }
    return begin() + offset + k;
  }

  template <typename Write>
  void insert_in_place(iterator p, size_type k, Write write) {
    iterator const old_finish = end();
    const size_type after = static_cast<size_type>(old_finish - p);
    if (k < after) {
      construct_at_end(old_finish - k, old_finish);
      std::copy_backward(p, old_finish - k, old_finish);
      write(p, 0, k);
    } else {
      write(old_finish, after, k);
      set_finish(old_finish + (k - after));
      construct_at_end(p, old_finish);
      write(p, 0, after);
    }
  }

  // The new block always has the default routines; the old block goes back
  // through the routines stored in it.
  template <typename Write>
  void insert_by_new_block(iterator p, size_type k, Write write) {
    vector grown;
    grown.reserve(std::max(2 * size(), size() + k));
    grown.construct_at_end(begin(), p);
    write(grown.end(), 0, k);
    grown.set_finish(grown.end() + k);
    grown.construct_at_end(p, end());
    swap(grown);
  }

  block_t* header_m = nullptr;
};

static_assert(sizeof(vector<char>) == sizeof(void*), "a vector is one pointer");

}  // namespace version_1

using version_1::vector;

}  // namespace ombrix

#endif
