#pragma once

namespace TAMCOMMON {

// Process-wide singleton. The instance is a function-local static, so it is
// built on first use (thread-safe under C++11 rules) and destroyed at exit in
// reverse order of creation. Classes with a private constructor make
// TamSingleton<T> a friend.
template<typename T>
class TamSingleton
{
public:
    static T &_instance();

    TamSingleton(const TamSingleton &) = delete;
    TamSingleton &operator=(const TamSingleton &) = delete;

protected:
    TamSingleton() = default;
    ~TamSingleton() = default;
};

template<typename T>
T &TamSingleton<T>::_instance()
{
    static T instance;
    return instance;
}

} // namespace TAMCOMMON
