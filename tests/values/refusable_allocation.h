// The global allocation functions of this test binary can be told to refuse
// an upcoming allocation by throwing std::bad_alloc.
#ifndef OMBRIX_TESTS_VALUES_REFUSABLE_ALLOCATION_H
#define OMBRIX_TESTS_VALUES_REFUSABLE_ALLOCATION_H

// The allocation after the next `allowed` ones throws; -1 refuses none.
void refuse_allocation_after(int allowed);

#endif
