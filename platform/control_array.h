#pragma once

#include <initializer_list>
#include <map>
#include <stdexcept>
#include <utility>

namespace platform {

// Controls that share a name and are told apart by an index, as logo(0), logo(2).
// The members are controls of their own; the array only names them by index.
template <class C>
class ControlArray {
public:
    ControlArray(std::initializer_list<std::pair<const int, C*>> members) : members_(members) {}

    C& operator()(int index) const
    {
        const auto it = members_.find(index);
        if (it == members_.end())
            throw std::out_of_range("no such member of the control array");
        return *it->second;
    }

private:
    std::map<int, C*> members_;
};

} // namespace platform
