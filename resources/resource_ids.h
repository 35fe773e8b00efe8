#pragma once
// Ids of the saver's string and icon resources, shared by the resource script and the code.

// The saver's description, which the operating system lists as its name.
#define IDS_DESCRIPTION 1
#define IDI_SAVER 106
