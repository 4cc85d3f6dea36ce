#pragma once

// The document an applyDoc has built, for the tests to look into before it is written. The
// program itself only ever writes it, so applyDoc gives no access to it: this reaches its member
// through an explicit instantiation, the one place where C++ lets a member pointer to a private
// member be named.
#include "documents/applydoc.h"

#include <QTextDocument>

#include <memory>

namespace ApplyDocAccess {

using DocumentMember = std::unique_ptr<QTextDocument> applyDoc::*;

struct Tag
{
};
DocumentMember member(Tag);

template <DocumentMember M> struct Grant
{
    friend DocumentMember member(Tag) { return M; }
};
template struct Grant<&applyDoc::document>;

} // namespace ApplyDocAccess

inline const QTextDocument &textDocument(const applyDoc &doc)
{
    return *(doc.*ApplyDocAccess::member(ApplyDocAccess::Tag()));
}
