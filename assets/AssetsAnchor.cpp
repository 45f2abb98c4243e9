// The resources are compiled into this library; a static library needs one
// translation unit of its own.
namespace dvl::assets {
int anchor() {
    return 0;
}
} // namespace dvl::assets
