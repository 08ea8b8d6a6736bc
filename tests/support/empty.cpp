// Keeps the test support library non-empty before any helper exists.
namespace test_support_anchor {
int anchor = 0;
}
