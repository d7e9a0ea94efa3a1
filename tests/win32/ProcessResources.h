#pragma once

namespace arbolith {

// The GDI objects and the kernel handles this process holds.
long GdiObjectCount();
long KernelHandleCount();

} // namespace arbolith
