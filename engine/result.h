#pragma once
// A value or the reason it could not be made. The defined operations reduce this to
// "a set or none"; the command line shows the reason.
#include <optional>
#include <string>
#include <utility>

namespace nobrelt {

struct Failure {
    std::string reason;
};

template <class T>
class Result {
public:
    Result(T value) : value_(std::move(value)) {}
    Result(Failure failure) : failure_(std::move(failure)) {}

    explicit operator bool() const { return value_.has_value(); }
    bool ok() const { return value_.has_value(); }
    T& value() { return *value_; }
    const T& value() const { return *value_; }
    T* operator->() { return &*value_; }
    const T* operator->() const { return &*value_; }
    T& operator*() { return *value_; }
    const T& operator*() const { return *value_; }
    const std::string& reason() const { return failure_.reason; }
    std::optional<T> ToOptional() && { return std::move(value_); }

private:
    std::optional<T> value_;
    Failure failure_;
};

// Outcome of an operation that makes no value.
class Status {
public:
    Status() = default;
    Status(Failure failure) : failed_(true), failure_(std::move(failure)) {}
    explicit operator bool() const { return !failed_; }
    bool ok() const { return !failed_; }
    const std::string& reason() const { return failure_.reason; }

private:
    bool failed_ = false;
    Failure failure_;
};

}  // namespace nobrelt
