// The token streams of the two .x encodings: text (words, numbers, strings, GUIDs, braces,
// comments) and binary (16-bit token ids with their records). Both hand out one token at a
// time without copying the data; list records are handed out element by element. Neither
// knows any template: XFileReader gives the tokens their meaning.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vireo::gfx::xfile {

enum class TokenKind {
    End,       // no data left
    Error,     // malformed input; the stream's error text says why
    Name,      // an identifier (template type, object name, reference name)
    String,    // a quoted string's contents (binary: a string record)
    Number,    // an integer or a float, as a double (exact for every 32-bit integer)
    Guid,      // <...> or a GUID record; the value is not kept
    Open,      // {
    Close,     // }
    Separator, // , or ;
    Template,  // the template keyword
    Other,     // any other punctuation or type keyword (only found inside templates)
};

struct Token {
    TokenKind kind = TokenKind::End;
    double number = 0;
    bool integral = false; // the number was written or stored as an integer
    std::string_view text; // Name and String; views into the input
};

class TokenStream {
  public:
    virtual ~TokenStream() = default;
    virtual Token Next() = 0;
    // Bytes not yet consumed, and the fewest bytes one number can take in this encoding: a
    // count read from the data is checked against both before anything is reserved for it.
    std::size_t BytesLeft() const { return m_size - m_pos; }
    virtual std::size_t MinBytesPerNumber() const = 0;
    const std::string& Error() const { return m_error; }

  protected:
    TokenStream(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    Token Fail(std::string text);

    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
    std::string m_error;
};

class TextTokenStream final : public TokenStream {
  public:
    TextTokenStream(const std::uint8_t* data, std::size_t size) : TokenStream(data, size) {}
    Token Next() override;
    std::size_t MinBytesPerNumber() const override { return 1; }

  private:
    Token FailHere(const char* what);
    void SkipBlanks();
    int m_line = 1;
};

class BinaryTokenStream final : public TokenStream {
  public:
    // doubles: the header's float size is 64 (float lists hold 8-byte values).
    BinaryTokenStream(const std::uint8_t* data, std::size_t size, bool doubles)
        : TokenStream(data, size), m_floatSize(doubles ? 8 : 4)
    {
    }
    Token Next() override;
    std::size_t MinBytesPerNumber() const override { return 4; }

  private:
    bool Read(std::size_t bytes, std::uint32_t* value);
    std::uint32_t m_listLeft = 0; // elements of the current list record not handed out yet
    bool m_listFloats = false;
    std::size_t m_floatSize;
};

} // namespace vireo::gfx::xfile
