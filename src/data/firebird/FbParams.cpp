#include "data/firebird/FbParams.h"

#include "data/firebird/FbBlob.h"
#include "data/firebird/FbCharset.h"
#include "data/firebird/FbValues.h"

#include <cstring>
#include <limits>

namespace fb {

void FbParams::described() {
    int n = FSqlda.count();
    FSlots.assign(n, Slot{});
    for (int i = 0; i < n; ++i) {
        XSQLVAR& v = FSqlda.var(i);
        Slot& s = FSlots[i];
        s.DescribedType = static_cast<short>(v.sqltype & ~1);
        s.DescribedSubType = v.sqlsubtype;
        s.DescribedScale = v.sqlscale;
    }
}

bool FbParams::allSet() const {
    for (const Slot& s : FSlots)
        if (!s.Set) return false;
    return true;
}

SQLResult FbParams::set(int index, const TDBXValue& value, std::string& error) {
    if (index < 0 || index >= count()) {
        error = "Parameter " + std::to_string(index + 1) + " is out of range";
        return DBXERR_OUTOFRANGE;
    }
    Slot& s = FSlots[index];
    XSQLVAR& v = FSqlda.var(index);
    s.Set = false;
    s.PendingBlob = false;
    v.sqlind = &s.Indicator;
    v.sqldata = reinterpret_cast<ISC_SCHAR*>(s.Fixed);
    v.sqlscale = 0;
    v.sqlsubtype = 0;
    auto fixed = [&](short type, short length, const void* data) {
        v.sqltype = static_cast<short>(type | 1);
        v.sqllen = length;
        std::memcpy(s.Fixed, data, static_cast<size_t>(length));
    };

    if (value.IsNull) {
        // Only the nullable bit makes the server read the indicator; the type
        // of a null does not matter to it.
        s.Indicator = -1;
        fixed(SQL_LONG, 4, "\0\0\0\0");
        s.Set = true;
        return DBXERR_NONE;
    }
    s.Indicator = 0;
    switch (value.Type) {
    case TDBXType::Int16:
    case TDBXType::Int32:
    case TDBXType::Int64:
        fixed(SQL_INT64, 8, &value.Int);
        break;
    case TDBXType::Boolean: {
        unsigned char b = value.Int != 0;
        fixed(SQL_BOOLEAN, 1, &b);
        break;
    }
    case TDBXType::FmtBcd:
        if (value.Scale < 0 || value.Scale > 18) {
            error = "Scale " + std::to_string(value.Scale) + " is out of range";
            return DBXERR_INVALIDPRECISION;
        }
        fixed(SQL_INT64, 8, &value.Int);
        v.sqlscale = static_cast<short>(-value.Scale);
        break;
    case TDBXType::Float:
        fixed(SQL_DOUBLE, 8, &value.Float);
        break;
    case TDBXType::Date:
    case TDBXType::Time:
    case TDBXType::TimeStamp: {
        ISC_DATE date;
        ISC_TIME time;
        SplitDateTime(value.DateTime, date, time);
        if (value.Type == TDBXType::Date) {
            fixed(SQL_TYPE_DATE, 4, &date);
        } else if (value.Type == TDBXType::Time) {
            fixed(SQL_TYPE_TIME, 4, &time);
        } else {
            ISC_TIMESTAMP ts{date, time};
            fixed(SQL_TIMESTAMP, 8, &ts);
        }
        break;
    }
    case TDBXType::ZString:
    case TDBXType::Blob: {
        bool toBlob = s.DescribedType == SQL_BLOB;
        bool toText = s.DescribedType == SQL_TEXT || s.DescribedType == SQL_VARYING;
        // Text columns and text blobs take the text in their own character
        // set; other columns read it as digits or a date.
        int charset = csNone;
        if (toBlob && s.DescribedSubType == 1)
            charset = s.DescribedScale & 0xFF;
        else if (toText)
            charset = s.DescribedSubType & 0xFF;
        if (!EncodeText(charset, value.Text, s.Bytes)) {
            error = "The text cannot be written in the column's character set";
            return DBXERR_INVALIDXLATION;
        }
        if (toBlob) {
            v.sqltype = SQL_BLOB | 1;
            v.sqlsubtype = s.DescribedSubType;
            v.sqllen = sizeof(ISC_QUAD);
            s.PendingBlob = true;
            break;
        }
        if (s.Bytes.size() > static_cast<size_t>(std::numeric_limits<short>::max())) {
            error = "The text is longer than a parameter can be";
            return DBXERR_INVALIDLEN;
        }
        v.sqltype = SQL_TEXT | 1;
        v.sqlsubtype = toText ? s.DescribedSubType : 0;
        v.sqllen = static_cast<short>(s.Bytes.size());
        v.sqldata = s.Bytes.data();
        break;
    }
    default:
        error = "The value's type cannot be sent to the server";
        return DBXERR_INVALIDFLDTYPE;
    }
    s.Set = true;
    return DBXERR_NONE;
}

bool FbParams::writeBlobs(FbTransaction& transaction, FbStatus& status) {
    for (int i = 0; i < count(); ++i) {
        Slot& s = FSlots[i];
        if (!s.PendingBlob) continue;
        ISC_QUAD id;
        if (!WriteBlob(transaction, s.Bytes, id, status)) return false;
        std::memcpy(s.Fixed, &id, sizeof id);
        FSqlda.var(i).sqldata = reinterpret_cast<ISC_SCHAR*>(s.Fixed);
    }
    return true;
}

} // namespace fb
