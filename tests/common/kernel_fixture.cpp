#include "common/kernel_fixture.h"

int32_t ForEachAllocationFailure(const std::function<int32_t()>& attempt,
                                 const std::function<void(int32_t result, int32_t nth)>& check) {
  for (int32_t nth = 1;; ++nth) {
    const int32_t before = KrnTestAllocationCount();
    KrnTestFailAllocation(nth);
    const int32_t result = attempt();
    KrnTestFailAllocation(0);
    const int32_t used = KrnTestAllocationCount() - before;
    if (used < nth) return used;  // the nth allocation never came: the run succeeded unhindered
    check(result, nth);
    if (nth > 100000) {
      ADD_FAILURE() << "allocation walk did not end";
      return used;
    }
  }
}
