// Shared libraries are made of their whole _core archive; this unit is empty.
