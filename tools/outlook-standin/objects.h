// The automation objects: Application (what the ProgID creates) and the
// "MAPI" namespace with AddStore. Besides AddStore, the namespace lets tests
// and the demo look at and tidy its stores (StoreCount, StorePath(i),
// RemoveStore(path), ProfilePath); Application tells its ProcessId so a test
// can watch the server go away.
#pragma once
#include <unknwn.h>

namespace standin {

IClassFactory* applicationFactory();  // a static object; no reference counting

}  // namespace standin
