// A shared library that is not a module: it has none of the exports.
extern "C" __attribute__((visibility("default"))) int not_a_module()
{
	return 1;
}
