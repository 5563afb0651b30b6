// Blob values through the descriptor areas, against a real throwaway database: what the layer
// writes the server stores byte for byte, and what the server made the layer reads.
#include "db/sql/ib_sql.h"
#include "tests/support/attached_database.h"

#include <gtest/gtest.h>

#include <sstream>

namespace velkor {
namespace {

// Every byte value, zero included, over several of the client's segments and a part of one.
std::string BinaryPayload()
{
    std::string payload;
    for (int i = 0; i < 100003; ++i)
        payload += static_cast<char>((i * 7 + i / 256) % 256);
    return payload;
}

// The server's own reading of one byte of BODY, counted from 1.
std::string OctetAt(int position)
{
    return "ASCII_VAL(CAST(SUBSTRING(BODY FROM " + std::to_string(position) +
           " FOR 1) AS CHAR(1) CHARACTER SET OCTETS))";
}

class Blob : public ::testing::Test
{
protected:
    void SetUp() override
    {
        test::ExecuteRaw(database, transaction,
                         "CREATE TABLE NOTES (ID INTEGER NOT NULL, BODY BLOB SUB_TYPE 0, "
                         "MEMO BLOB SUB_TYPE 1)");
        transaction.Commit();
        transaction.StartTransaction();
        // Straight through the client library: the server makes this blob, not the layer.
        test::ExecuteRaw(database, transaction,
                         "INSERT INTO NOTES (ID, MEMO) VALUES (1, 'from elsewhere')");
        insert.SetDatabase(&database);
        insert.SQL().SetLines({"INSERT INTO NOTES (ID, BODY) VALUES (:ID, :BODY)"});
        select.SetDatabase(&database);
        select.SQL().SetLines({"SELECT BODY, MEMO FROM NOTES WHERE ID = :ID"});
    }

    TIBXSQLDA &Row(int id)
    {
        select.CloseCursor();
        select.Params().GetByName("ID").SetIntegerValue(id);
        select.ExecQuery();
        return select.Current();
    }

    long Stored(const std::string &expression, int id)
    {
        return test::QueryInteger(database, transaction,
                                  "SELECT " + expression +
                                      " FROM NOTES WHERE ID = " + std::to_string(id));
    }

    test::TAttachedDatabase attached{test::TTestDatabase::TContent::empty};
    TIBDatabase &database = attached.database;
    TIBTransaction &transaction = attached.transaction;
    TIBSQL &insert = CreateOwned<TIBSQL>(attached.owner);
    TIBSQL &select = CreateOwned<TIBSQL>(attached.owner);
};

TEST_F(Blob, a_stream_written_through_the_layer_is_stored_and_read_back_byte_for_byte)
{
    const std::string payload = BinaryPayload();
    insert.Params().GetByName("ID").SetIntegerValue(2);
    std::istringstream in(payload);
    insert.Params().GetByName("BODY").WriteBlobFromStream(in);
    insert.ExecQuery();

    EXPECT_EQ(Stored("OCTET_LENGTH(BODY)", 2), static_cast<long>(payload.size()));
    // A few bytes checked by the server itself, away from the segment edges the layer used.
    EXPECT_EQ(Stored(OctetAt(1), 2), 0);
    EXPECT_EQ(Stored(OctetAt(100003), 2), static_cast<unsigned char>(payload.back()));

    TIBXSQLDA &row = Row(2);
    std::ostringstream out;
    row.GetByName("BODY").ReadBlobToStream(out);
    EXPECT_EQ(out.str(), payload);
    EXPECT_EQ(row.GetByName("BODY").StringValue(), payload);
    EXPECT_TRUE(row.GetByName("MEMO").IsNullValue());
}

TEST_F(Blob, a_text_set_on_a_blob_parameter_is_written_as_a_blob)
{
    insert.Params().GetByName("ID").SetIntegerValue(3);
    insert.Params().GetByName("BODY").SetStringValue("short text");
    insert.ExecQuery();
    EXPECT_EQ(Stored("OCTET_LENGTH(BODY)", 3), 10);
    EXPECT_EQ(Row(3).GetByName("BODY").StringValue(), "short text");
}

TEST_F(Blob, an_empty_stream_stores_an_empty_blob_not_a_null)
{
    insert.Params().GetByName("ID").SetIntegerValue(4);
    std::istringstream empty;
    insert.Params().GetByName("BODY").WriteBlobFromStream(empty);
    insert.ExecQuery();
    EXPECT_EQ(Stored("CASE WHEN BODY IS NULL THEN -1 ELSE OCTET_LENGTH(BODY) END", 4), 0);
    TIBXSQLDA &row = Row(4);
    EXPECT_FALSE(row.GetByName("BODY").IsNullValue());
    EXPECT_EQ(row.GetByName("BODY").StringValue(), "");
}

TEST_F(Blob, a_blob_the_server_made_reads_as_its_text_and_shows_as_blob_in_a_variant)
{
    TIBXSQLDA &row = Row(1);
    EXPECT_TRUE(row.GetByName("BODY").IsNullValue());
    EXPECT_EQ(row.GetByName("BODY").StringValue(), "");
    EXPECT_EQ(row.GetByName("MEMO").StringValue(), "from elsewhere");
    EXPECT_EQ(row.GetByName("MEMO").VariantValue(), TVariant("(Blob)"));
}

} // namespace
} // namespace velkor
