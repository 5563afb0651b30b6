#pragma once

#include <memory>
#include <string>

namespace velkor::test {

// Another program's connection, made straight with the client library, as a second operator's
// tool would be: its own attachment, its own transaction, nothing of the database layer's
// components. Errors are raised as the layer raises them (EIBInterBaseError with the server's
// message and code).
class TClientAttachment
{
public:
    // Attaches to `path` with lc_ctype WIN1251; `processName`, when given, is the name the
    // server reports for the program, in UTF-8 (otherwise the test program's own path).
    TClientAttachment(const std::string &path, const std::string &userName,
                      const std::string &password, const std::string &processName = {});
    // Rolls back and detaches; an attachment the server has ended goes quietly.
    ~TClientAttachment();
    TClientAttachment(const TClientAttachment &) = delete;
    TClientAttachment &operator=(const TClientAttachment &) = delete;

    // The server's id for this attachment (CURRENT_CONNECTION).
    [[nodiscard]] long Id() const noexcept { return id_; }
    [[nodiscard]] bool InTransaction() const noexcept;
    // Starts a transaction with the server's defaults, kept open until Commit.
    void StartTransaction();
    void Commit();
    // Runs `sql` in the open transaction, or in one of its own that is committed at once.
    void Execute(const std::string &sql);
    // The integer in the first column of the first row (0 for null, -1 for no row), read as
    // Execute runs statements.
    [[nodiscard]] long QueryInteger(const std::string &sql);

private:
    struct THandles;
    std::unique_ptr<THandles> handles_;
    long id_ = 0;
};

} // namespace velkor::test
