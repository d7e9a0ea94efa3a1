# Read by ctest after the tests are discovered. Discovery splits a label list such as
# "render;sanitize" into separate words, so the labels are given here instead.
set_tests_properties(${arbolith_render_tests_TESTS} PROPERTIES LABELS "render;sanitize")
