#pragma once
// The schema of the store in one SQLite file: its migrations and the SQL of the steps every engine takes alike.

#include "storage/Schema.h"

namespace ovserver::storage {

const Schema &sqliteSchema();

} // namespace ovserver::storage
