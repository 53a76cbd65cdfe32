// Quick sort of float keys that applies every exchange to a parallel list as well; the scene
// walk uses it to order children by their distance to the camera.
#pragma once

#include "engine/vector_lists.h"

#include <utility>
#include <vector>

namespace hk {

// Sorts keys[first..last] ascending (compared as floats) and moves objects[i] with keys[i].
// Both lists must hold at least last + 1 items.
template <class T>
void QuickSortLists(int first, int last, TSingleList& keys, std::vector<T>& objects) {
    while (first < last) {
        float pivot = keys[(first + last) / 2];
        int i = first, j = last;
        while (i <= j) {
            while (keys[i] < pivot) {
                ++i;
            }
            while (keys[j] > pivot) {
                --j;
            }
            if (i <= j) {
                if (i != j) {
                    keys.Exchange(i, j);
                    std::swap(objects[i], objects[j]);
                }
                ++i;
                --j;
            }
        }
        // Recurse into the smaller part so the stack depth stays logarithmic.
        if (j - first < last - i) {
            QuickSortLists(first, j, keys, objects);
            first = i;
        } else {
            QuickSortLists(i, last, keys, objects);
            last = j;
        }
    }
}

} // namespace hk
