// The append helpers of TypedArray for the two element types that callers
// copy into lists.
#include "foundation/core/typed_array.h"

#include <cstring>

#include "foundation/core/paths.h"
#include "foundation/core/strings.h"

bool AppendTextCopy(TypedArray<String>& list, const char* text) {
  return list.Append([text](void* slot) {
    String* copy = new (slot) String();
    if (copy->Assign(text)) return true;
    copy->~String();
    return false;
  });
}

bool AppendPathCopy(TypedArray<FixedPath>& list, const FixedPath& path) {
  return list.Append([&path](void* slot) {
    new (slot) FixedPath(path);
    return true;
  });
}
