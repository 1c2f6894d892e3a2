// The objects of one class alive now, so that a pointer of a base interface that a host hands
// back can be recognised as one of them. The set itself is never destroyed: an object may go
// in a host's static destructor.
#pragma once

#include <algorithm>
#include <vector>

namespace vx {

template <typename T>
class LiveSet {
public:
    static void Add(const T* object) { All().push_back(object); }
    static void Remove(const T* object) {
        std::vector<const T*>& all = All();
        all.erase(std::find(all.begin(), all.end(), object));
    }
    // The live object at that address, or null; U is a base of T.
    template <typename U>
    static const T* Find(const U* object) {
        for (const T* live : All()) {
            if (live == object) return live;
        }
        return nullptr;
    }

private:
    static std::vector<const T*>& All() {
        static auto* const all = new std::vector<const T*>;
        return *all;
    }
};

}  // namespace vx
