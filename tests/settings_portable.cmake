# The settings record and its repair: portable code, tested in every configuration.
tessaline_test(saver_settings_test saver_settings_test.cpp)
