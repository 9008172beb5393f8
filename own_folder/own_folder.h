// Where the running program's file is: the build puts what a program finds
// beside itself there, so that a copied or moved build folder uses its own.
#pragma once

#include <string>

// The folder that holds this program's file; false, with errno set, where
// it cannot tell.
bool find_own_folder(std::string &folder);
