#pragma once

#include <exception>
#include <string>
#include <utility>

// A file or folder that storycrc cannot open; caught once, in the main flow.
class FileException : public std::exception
{
public:
    explicit FileException(std::string message) : m_message(std::move(message)) {}
    const char* what() const noexcept override { return m_message.c_str(); }

private:
    std::string m_message;
};
