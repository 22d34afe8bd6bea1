// Ids of the platen tests, included from resource.h.
#pragma once
