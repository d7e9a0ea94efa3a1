# Read by ctest after the tests are discovered. Discovery splits a label list such as
# "render;sanitize" into separate words, so the labels are given here instead.
set(arbolith_sanitized_render_tests ${arbolith_render_tests_TESTS} ${arbolith_mesh_tests_TESTS})
# Eight million branches, seconds even in the optimised build: too long for the sanitizers.
list(REMOVE_ITEM arbolith_sanitized_render_tests GlbFileTest.ATreeBeyondFourGibibytesIsRefused)
set_tests_properties(${arbolith_sanitized_render_tests} PROPERTIES LABELS "render;sanitize")
set_tests_properties(GlbFileTest.ATreeBeyondFourGibibytesIsRefused PROPERTIES LABELS "render")
